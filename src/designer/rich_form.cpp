#include "designer/rich_form.h"

#include "core/library_context.h"
#include "designer/rich_ruler.h"

#include "base/atomic_file.h"
#include "base/codepage.h"
#include "base/file_stream.h"
#include "core/locale.h"
#include "core/views/rich_view.h"
#include "richtext/rich_formats.h"
#include "richtext/rich_text.h"
#include "richtext/rtf_writer.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontComboBox>
#include <QFontDialog>
#include <QIntValidator>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextEdit>
#include <QTextList>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>

namespace {

// Stored lengths Qt's layout uses as they are (left and right margins, first-line indent) are twips
// in the stored text and device-independent pixels in the editor.
constexpr double kTwipsPerPixel = 15.0;
// The indent a bulleted paragraph gets when it has none: a quarter inch.
constexpr int kListIndentTwips = 360;
// White space around the text inside the editor's frame, in device-independent pixels.
constexpr int kEditorMargin = 4;

QString Text(int id) {
    return QString::fromLatin1(kv::LoadLibraryText(id));
}

void ScaleIndents(QTextDocument& doc, double factor) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QTextBlockFormat f = b.blockFormat();
        if (f.leftMargin() == 0 && f.rightMargin() == 0 && f.textIndent() == 0) continue;
        f.setLeftMargin(std::round(f.leftMargin() * factor));
        f.setRightMargin(std::round(f.rightMargin() * factor));
        f.setTextIndent(std::round(f.textIndent() * factor));
        QTextCursor(b).setBlockFormat(f);
    }
}

// A list item keeps its bullet in front of a hanging first line, which is how the stored text
// shows bullets: "•", a tab, then the text at the left indent.
void HangListItems(QTextDocument& doc) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (!b.textList()) continue;
        QTextBlockFormat f = b.blockFormat();
        if (f.textIndent() != 0) continue;
        f.setLeftMargin(std::max(f.leftMargin(), double(kListIndentTwips)));
        f.setTextIndent(-kListIndentTwips);
        QTextCursor(b).setBlockFormat(f);
    }
}

// Tool bar pictures drawn at the button size: alignment lines, a bullet list, a colour bar.
QIcon LinesIcon(Qt::Alignment align, bool bullets) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QPen(QColor(40, 40, 40), 2.5));
    for (int i = 0; i < 5; ++i) {
        const int y = 5 + i * 5 + 1;
        const int len = i % 2 ? 16 : 24;
        int x = 4;
        if (bullets) {
            if (i % 2 == 0) p.drawEllipse(QPointF(5, y), 1.5, 1.5);
            x = 10;
            p.drawLine(x, y, 28, y);
            continue;
        }
        if (align & Qt::AlignHCenter) x = 16 - len / 2;
        if (align & Qt::AlignRight) x = 28 - len;
        p.drawLine(x, y, x + len, y);
    }
    return QIcon(pm);
}

QIcon FontIcon() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPixelSize(26);
    p.setFont(f);
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRect(0, 0, 20, 30), Qt::AlignCenter, QStringLiteral("A"));
    f.setPixelSize(16);
    p.setFont(f);
    p.drawText(QRect(17, 10, 15, 20), Qt::AlignCenter, QStringLiteral("a"));
    return QIcon(pm);
}

QIcon ColorIcon(const QColor& color) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QFont f = QApplication::font();
    f.setBold(true);
    f.setPixelSize(20);
    p.setFont(f);
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRect(0, 0, 32, 24), Qt::AlignCenter, QStringLiteral("A"));
    p.fillRect(QRect(4, 25, 24, 6), color);
    return QIcon(pm);
}

QAction* StyledTextAction(QToolBar* bar, const QString& letter, const QString& hint, void (QFont::*set)(bool)) {
    QAction* a = bar->addAction(letter);
    QFont f = a->font();
    (f.*set)(true);
    a->setFont(f);
    a->setToolTip(hint);
    a->setCheckable(true);
    return a;
}

} // namespace

TkvRichForm::TkvRichForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(Text(53560));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);
    layout->setSpacing(0);
    toolBar_ = new QToolBar(this);
    edit_ = new QTextEdit(this);
    ruler_ = new TkvRichRuler(this);
    BuildToolBar();
    layout->addWidget(toolBar_);
    layout->addWidget(ruler_);
    layout->addWidget(edit_, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("Save and exit"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(Text(55001), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("ok"));
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(6, 6, 6, 0);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);

    edit_->setLineWrapMode(QTextEdit::FixedPixelWidth);
    SetTextWidth(624); // 6.5 inches until an object says otherwise
    connect(edit_, &QTextEdit::currentCharFormatChanged, this, [this] { ShowSelectionAttributes(); });
    connect(edit_, &QTextEdit::cursorPositionChanged, this, [this] { ShowSelectionAttributes(); });
    connect(edit_->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { SetTextWidth(textWidth_); });
    ruler_->IndentsChanged = [this](int l, int f, int r) { ApplyIndents(l, f, r); };
    resize(760, 480);
    Clear();
}

TkvRichForm::~TkvRichForm() = default;

void TkvRichForm::BuildToolBar() {
    QToolBar* bar = toolBar_;
    bar->setIconSize(QSize(16, 16));
    const auto named = [](QAction* a, const char* name) {
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    QStyle* st = style();
    named(bar->addAction(st->standardIcon(QStyle::SP_DialogOpenButton), QStringLiteral("Open..."), this,
                         &TkvRichForm::OpenWithDialog), "open");
    named(bar->addAction(st->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("Save..."), this,
                         &TkvRichForm::SaveWithDialog), "save");
    QAction* undo = named(bar->addAction(st->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Undo"), edit_, &QTextEdit::undo), "undo");
    undo->setEnabled(false);
    connect(edit_, &QTextEdit::undoAvailable, undo, &QAction::setEnabled);
    bar->addSeparator();

    fontBox_ = new QFontComboBox(bar);
    fontBox_->setObjectName(QStringLiteral("fontName"));
    fontBox_->setToolTip(Text(53522));
    bar->addWidget(fontBox_);
    connect(fontBox_, &QFontComboBox::textActivated, this, [this](const QString& family) {
        QTextCharFormat f;
        f.setFontFamilies({family});
        MergeFormat(f);
    });
    sizeBox_ = new QComboBox(bar);
    sizeBox_->setObjectName(QStringLiteral("fontSize"));
    sizeBox_->setEditable(true);
    sizeBox_->setValidator(new QIntValidator(1, 1638, sizeBox_));
    for (int s : {5, 6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        sizeBox_->addItem(QString::number(s));
    sizeBox_->setMinimumContentsLength(3);
    bar->addWidget(sizeBox_);
    connect(sizeBox_, &QComboBox::textActivated, this, [this](const QString& text) {
        bool ok = false;
        const int size = text.toInt(&ok);
        if (!ok || size < 1 || size > 1638) return;
        QTextCharFormat f;
        f.setFontPointSize(size);
        MergeFormat(f);
    });
    named(bar->addAction(FontIcon(), Text(55334), this, &TkvRichForm::ChooseFont), "font")->setToolTip(Text(55334));
    bar->addSeparator();

    named(StyledTextAction(bar, QStringLiteral("B"), QStringLiteral("Bold"), &QFont::setBold), "bold");
    named(StyledTextAction(bar, QStringLiteral("I"), QStringLiteral("Italic"), &QFont::setItalic), "italic");
    named(StyledTextAction(bar, QStringLiteral("U"), QStringLiteral("Underline"), &QFont::setUnderline), "underline");
    connect(Action("bold"), &QAction::triggered, this, [this](bool on) {
        QTextCharFormat f;
        f.setFontWeight(on ? QFont::Bold : QFont::Normal);
        MergeFormat(f);
    });
    connect(Action("italic"), &QAction::triggered, this, [this](bool on) {
        QTextCharFormat f;
        f.setFontItalic(on);
        MergeFormat(f);
    });
    connect(Action("underline"), &QAction::triggered, this, [this](bool on) {
        QTextCharFormat f;
        f.setFontUnderline(on);
        MergeFormat(f);
    });
    named(bar->addAction(ColorIcon(Qt::black), QStringLiteral("Colour"), this, &TkvRichForm::ChooseColor), "color");
    bar->addSeparator();

    auto* aligns = new QActionGroup(this);
    const struct {
        const char* name;
        const char* hint;
        Qt::Alignment align;
    } alignments[] = {{"left", "Align left", Qt::AlignLeft},
                      {"center", "Center", Qt::AlignHCenter},
                      {"right", "Align right", Qt::AlignRight}};
    for (const auto& a : alignments) {
        QAction* act = named(bar->addAction(LinesIcon(a.align, false), QString::fromLatin1(a.hint)), a.name);
        act->setCheckable(true);
        aligns->addAction(act);
        const Qt::Alignment align = a.align;
        connect(act, &QAction::triggered, this, [this, align] {
            if (!updating_) edit_->setAlignment(align);
        });
    }
    QAction* list = named(bar->addAction(LinesIcon(Qt::AlignLeft, true), QStringLiteral("List")), "list");
    list->setCheckable(true);
    connect(list, &QAction::triggered, this, &TkvRichForm::ToggleList);
    bar->addSeparator();
    QAction* expression = named(bar->addAction(QStringLiteral("[ ]"), this, [this] {
        if (!expressionBuilder_) return;
        const QString e = expressionBuilder_(this);
        if (!e.isEmpty()) InsertExpression(e);
    }), "expression");
    expression->setToolTip(Text(53575));
    expression->setEnabled(false);
}

QAction* TkvRichForm::Action(const char* name) const {
    return findChild<QAction*>(QString::fromLatin1(name));
}

void TkvRichForm::SetExpressionBuilder(std::function<QString(QWidget*)> builder) {
    expressionBuilder_ = std::move(builder);
    Action("expression")->setEnabled(bool(expressionBuilder_));
}

void TkvRichForm::SetTextWidth(int units) {
    textWidth_ = std::clamp(units, 16, 20000);
    // The wrap width includes the document's margins on both sides; the text gets the rest, as
    // much as the object has inside its gaps.
    const int margin = kEditorMargin;
    edit_->setLineWrapColumnOrWidth(textWidth_ + 2 * margin);
    const int offset = edit_->geometry().left() + edit_->frameWidth() + margin - edit_->horizontalScrollBar()->value();
    ruler_->SetTextWidth(int(textWidth_ * kTwipsPerPixel), offset);
}

void TkvRichForm::Clear() {
    LoadRtf(QByteArray());
}

void TkvRichForm::LoadRtf(const QByteArray& rtf) {
    TkvRichText text;
    if (!rtf.isEmpty()) text.LoadRtf(rtf);
    // The clone gets a layout of its own on the screen; the stored text's layout stays in twips.
    QTextDocument* doc = text.Document().clone(edit_);
    ScaleIndents(*doc, 1.0 / kTwipsPerPixel);
    // The stored text has no document margin; its root frame format says so and the clone keeps it.
    QTextFrameFormat root = doc->rootFrame()->frameFormat();
    root.setMargin(kEditorMargin);
    doc->rootFrame()->setFrameFormat(root);
    doc->setUndoRedoEnabled(true);
    doc->clearUndoRedoStacks();
    // The editor deletes the document it replaces when that one is its child, as these are.
    edit_->setDocument(doc);
    edit_->moveCursor(QTextCursor::Start);
    if (doc->isEmpty()) edit_->setCurrentCharFormat(kvrich::DefaultCharFormat());
    SetTextWidth(textWidth_);
    ShowSelectionAttributes();
}

QByteArray TkvRichForm::SaveRtf() const {
    const QTextDocument* doc = edit_->document();
    if (doc->isEmpty()) return {};
    std::unique_ptr<QTextDocument> copy(doc->clone());
    copy->setUndoRedoEnabled(false);
    ScaleIndents(*copy, kTwipsPerPixel);
    HangListItems(*copy);
    return kvrtf::WriteRtf(*copy);
}

bool TkvRichForm::Edit(TkvRichView& view) {
    LoadRtf(view.RichText);
    SetTextWidth(view.Width - 2 * view.GapX);
    const bool taken = exec() == QDialog::Accepted;
    if (taken) {
        if (BeforeChange) BeforeChange();
        view.RichText = SaveRtf();
    }
    Clear();
    return taken;
}

bool TkvRichForm::OpenFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        lastError_ = QStringLiteral("Cannot open %1: %2").arg(path, file.errorString());
        return false;
    }
    if (file.size() > kMaxFileBytes) {
        lastError_ = QStringLiteral("%1 is larger than %2 MB").arg(path).arg(kMaxFileBytes >> 20);
        return false;
    }
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (bytes.size() > kMaxFileBytes) {
        lastError_ = QStringLiteral("%1 is larger than %2 MB").arg(path).arg(kMaxFileBytes >> 20);
        return false;
    }
    // Not RTF: the reader shows the bytes as plain text in the default code page.
    LoadRtf(bytes);
    lastError_.clear();
    return true;
}

bool TkvRichForm::SaveFile(const QString& path, bool asText) {
    try {
        TkvAtomicFile file(path);
        if (asText) {
            TkvRichText text;
            text.LoadRtf(SaveRtf());
            QString plain = text.PlainText();
            plain.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
            file.Write(kv::EncodeText(plain, kvcs::Default));
        } else {
            file.Write(SaveRtf());
        }
        file.Commit(true);
    } catch (const TkvFileError& e) {
        lastError_ = QString::fromUtf8(e.what());
        return false;
    }
    lastError_.clear();
    return true;
}

void TkvRichForm::InsertExpression(const QString& expression) {
    QString e = expression.trimmed();
    if (!(e.startsWith(QLatin1Char('[')) && e.endsWith(QLatin1Char(']')))) e = QLatin1Char('[') + e + QLatin1Char(']');
    edit_->textCursor().insertText(e);
    edit_->setFocus();
}

void TkvRichForm::MergeFormat(const QTextCharFormat& f) {
    if (updating_) return;
    QTextCursor c = edit_->textCursor();
    if (!c.hasSelection()) c.select(QTextCursor::WordUnderCursor);
    c.mergeCharFormat(f);
    edit_->mergeCurrentCharFormat(f);
    edit_->setFocus();
}

void TkvRichForm::ShowSelectionAttributes() {
    updating_ = true;
    const QTextCharFormat f = edit_->currentCharFormat();
    const QStringList families = f.fontFamilies().toStringList();
    const QString family = families.isEmpty() ? edit_->document()->defaultFont().family() : families.first();
    fontBox_->setCurrentFont(QFont(family));
    fontBox_->setEditText(family);
    const double size = f.fontPointSize() > 0 ? f.fontPointSize() : edit_->document()->defaultFont().pointSizeF();
    sizeBox_->setEditText(QString::number(size));
    Action("bold")->setChecked(f.fontWeight() >= QFont::DemiBold);
    Action("italic")->setChecked(f.fontItalic());
    Action("underline")->setChecked(f.fontUnderline());
    Action("color")->setIcon(ColorIcon(f.foreground().style() == Qt::NoBrush ? QColor(Qt::black) : f.foreground().color()));
    const QTextCursor c = edit_->textCursor();
    const Qt::Alignment align = c.blockFormat().alignment();
    Action("center")->setChecked(align & Qt::AlignHCenter);
    Action("right")->setChecked(align & Qt::AlignRight);
    Action("left")->setChecked(!(align & (Qt::AlignHCenter | Qt::AlignRight)));
    Action("list")->setChecked(c.currentList() != nullptr);
    const QTextBlockFormat b = c.blockFormat();
    ruler_->SetIndents(int(std::lround(b.leftMargin() * kTwipsPerPixel)), int(std::lround(b.textIndent() * kTwipsPerPixel)),
                       int(std::lround(b.rightMargin() * kTwipsPerPixel)));
    updating_ = false;
}

void TkvRichForm::ApplyIndents(int left, int firstLine, int right) {
    QTextCursor c = edit_->textCursor();
    QTextBlockFormat f;
    f.setLeftMargin(left / kTwipsPerPixel);
    f.setTextIndent(firstLine / kTwipsPerPixel);
    f.setRightMargin(right / kTwipsPerPixel);
    c.mergeBlockFormat(f);
}

void TkvRichForm::ToggleList(bool on) {
    if (updating_) return;
    QTextCursor c = edit_->textCursor();
    c.beginEditBlock();
    if (on) {
        QTextListFormat lf;
        lf.setStyle(QTextListFormat::ListDisc);
        lf.setIndent(0);
        c.createList(lf);
        QTextBlockFormat f = c.blockFormat();
        QTextBlockFormat indent;
        indent.setLeftMargin(std::max(f.leftMargin(), kListIndentTwips / kTwipsPerPixel));
        c.mergeBlockFormat(indent);
    } else if (QTextList* list = c.currentList()) {
        const QTextBlock first = edit_->document()->findBlock(c.selectionStart());
        const QTextBlock last = edit_->document()->findBlock(c.selectionEnd());
        for (QTextBlock b = first; b.isValid(); b = b.next()) {
            if (b.textList() == list) list->remove(b);
            QTextCursor bc(b);
            QTextBlockFormat f = bc.blockFormat();
            f.setObjectIndex(-1);
            if (std::lround(f.leftMargin() * kTwipsPerPixel) == kListIndentTwips) f.setLeftMargin(0);
            bc.setBlockFormat(f);
            if (b == last) break;
        }
    }
    c.endEditBlock();
    ShowSelectionAttributes();
}

void TkvRichForm::ChooseFont() {
    bool ok = false;
    const QTextCharFormat current = edit_->currentCharFormat();
    QFont font = current.font();
    const QFont chosen = QFontDialog::getFont(&ok, font, this);
    if (!ok) return;
    QTextCharFormat f;
    f.setFontFamilies({chosen.family()});
    if (chosen.pointSizeF() > 0) f.setFontPointSize(chosen.pointSizeF());
    f.setFontWeight(chosen.bold() ? QFont::Bold : QFont::Normal);
    f.setFontItalic(chosen.italic());
    f.setFontUnderline(chosen.underline());
    f.setFontStrikeOut(chosen.strikeOut());
    MergeFormat(f);
}

void TkvRichForm::ChooseColor() {
    const QTextCharFormat current = edit_->currentCharFormat();
    const QColor initial = current.foreground().style() == Qt::NoBrush ? QColor(Qt::black) : current.foreground().color();
    const QColor c = QColorDialog::getColor(initial, this);
    if (!c.isValid()) return;
    QTextCharFormat f;
    f.setForeground(c);
    MergeFormat(f);
    ShowSelectionAttributes();
}

void TkvRichForm::OpenWithDialog() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open"), QCoreApplication::applicationDirPath(),
                                                      Text(55218) + QStringLiteral(" (*.rtf)"));
    if (!path.isEmpty() && !OpenFile(path)) QMessageBox::warning(this, windowTitle(), lastError_);
}

void TkvRichForm::SaveWithDialog() {
    const QString rtfFilter = Text(55218) + QStringLiteral(" (*.rtf)");
    const QString txtFilter = Text(55212) + QStringLiteral(" (*.txt)");
    QString selected = rtfFilter;
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save"), QCoreApplication::applicationDirPath(),
                                                rtfFilter + QStringLiteral(";;") + txtFilter, &selected);
    if (path.isEmpty()) return;
    const bool asText = selected == txtFilter;
    if (!path.contains(QLatin1Char('.'))) path += asText ? QStringLiteral(".txt") : QStringLiteral(".rtf");
    if (!SaveFile(path, asText)) QMessageBox::warning(this, windowTitle(), lastError_);
}

namespace kv {

void InstallRichTextEditor(std::function<void()> beforeChange, std::function<QString(QWidget*)> expressionBuilder) {
    kv::Library().RichTextEditor = [beforeChange, expressionBuilder](TkvRichView& view) {
        TkvRichForm form(QApplication::activeWindow());
        form.BeforeChange = beforeChange;
        form.SetExpressionBuilder(expressionBuilder);
        return form.Edit(view);
    };
}

} // namespace kv
