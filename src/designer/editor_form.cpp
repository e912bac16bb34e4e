#include "designer/editor_form.h"

#include "base/codepage.h"
#include "base/stream_text.h"
#include "core/locale.h"
#include "core/report/page.h"
#include "core/views/band_view.h"
#include "core/views/memo_view.h"
#include "core/views/view.h"
#include "designer/script_highlighter.h"
#include "script/interpretator.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSettings>
#include <QSplitter>
#include <QTextBlock>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

QString Text(int id) {
    return kv::DecodeText(kv::LoadLibraryText(id), kvcs::Default);
}

const char* const kSkeleton = "begin\n  \nend";

// Lines as the panes show them (one line break between lines, none after the last) and back, so
// that every line, also an empty last one, comes back as it was.
QString PaneText(const TkvStringList& lines, int charset) {
    QStringList out;
    for (const QByteArray& line : lines)
        out.append(kv::DecodeText(line, charset));
    return out.join('\n');
}

TkvStringList PaneLines(const QString& text, int charset) {
    TkvStringList lines;
    if (text.isEmpty()) return lines;
    for (const QString& line : text.split('\n'))
        lines.append(kv::EncodeText(line, charset));
    return lines;
}

QFont PaneFont(const QString& name, int size, bool monospace) {
    QFont f(name, size > 0 ? size : 10);
    if (monospace) f.setStyleHint(QFont::TypeWriter);
    return f;
}

} // namespace

TkvEditorForm::TkvEditorForm(QWidget* parent, bool highlighting)
    : QDialog(parent), highlighting_(highlighting) {
    setObjectName(highlighting ? QStringLiteral("TkvEditorForm") : QStringLiteral("TkvEditorForm1"));
    setWindowTitle(Text(53060));
    resize(432, 450);
    SplitterPos = height() / 2;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    toolBar_ = new QToolBar(this);
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    layout->addWidget(toolBar_);

    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setObjectName(QStringLiteral("Splitter"));
    splitter_->setChildrenCollapsible(false);
    text_ = new QPlainTextEdit(splitter_);
    text_->setObjectName(QStringLiteral("M1"));
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    scriptPanel_ = new QWidget(splitter_);
    scriptPanel_->setObjectName(QStringLiteral("ScriptPanel"));
    auto* scriptLayout = new QVBoxLayout(scriptPanel_);
    scriptLayout->setContentsMargins(0, 0, 0, 0);
    scriptLayout->setSpacing(0);
    script_ = new QPlainTextEdit(scriptPanel_);
    script_->setObjectName(QStringLiteral("Script"));
    script_->setLineWrapMode(QPlainTextEdit::NoWrap);
    scriptLayout->addWidget(script_, 1);
    message_ = new QLabel(scriptPanel_);
    message_->setObjectName(highlighting ? QStringLiteral("MessageLine") : QStringLiteral("ErrorPanel"));
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (!highlighting) {
        message_->setFrameShape(QFrame::Box);
        message_->setAutoFillBackground(true);
        message_->setBackgroundRole(QPalette::Base);
        message_->hide();
    }
    scriptLayout->addWidget(message_);
    splitter_->addWidget(text_);
    splitter_->addWidget(scriptPanel_);
    layout->addWidget(splitter_, 1);
    if (highlighting) highlighter_ = new TkvScriptHighlighter(script_->document());

    for (QPlainTextEdit* pane : {text_, script_})
        pane->installEventFilter(this);
    active_ = text_;
    BuildToolBar();
}

TkvEditorForm::~TkvEditorForm() = default;

void TkvEditorForm::BuildToolBar() {
    // Short captions on the buttons (all fit the dialog's width), the library's hint texts as tips.
    static const QHash<int, QString> captions = {{53061, QStringLiteral("Expr...")},
                                                 {53062, QStringLiteral("Field...")},
                                                 {53063, QStringLiteral("Wrap")},
                                                 {53064, QStringLiteral("Script")},
                                                 {53740, QStringLiteral("Tag...")}};
    auto add = [this](const char* name, int textId, auto slot) {
        QAction* a = toolBar_->addAction(captions.value(textId, Text(textId)));
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(Text(textId));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add("ok", 55000, [this] { Accept(); });
    add("cancel", 55001, [this] { reject(); });
    toolBar_->addSeparator();
    add("expression", 53061, [this] {
        if (Services.InsertExpression) Insert(Services.InsertExpression(this, QString()));
    });
    add("field", 53062, [this] {
        if (Services.InsertFieldExpression) Insert(Services.InsertFieldExpression(this));
    });
    QAction* wrap = add("wordwrap", 53063, [this](bool on) {
        text_->setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    });
    wrap->setCheckable(true);
    QAction* script = add("script", 53064, [this](bool on) {
        if (!plainView_) {
            Action("script")->setChecked(true);
            return;
        }
        ShowScript(on);
    });
    script->setCheckable(true);
    script->setChecked(true);
    toolBar_->addSeparator();
    add("cut", 53091, [this] { active_->cut(); });
    add("copy", 53092, [this] { active_->copy(); });
    add("paste", 53093, [this] { active_->paste(); });
    add("tag", 53740, [this] {
        if (EditTag && view_) EditTag(*view_);
    });
    resize(std::max(width(), toolBar_->sizeHint().width()), height());
}

QAction* TkvEditorForm::Action(const char* name) const {
    return toolBar_->findChild<QAction*>(QString::fromLatin1(name));
}

QString TkvEditorForm::SettingsGroup() const {
    return QStringLiteral("Form/TkvDesignerForm");
}

int TkvEditorForm::EditView(TkvView& view) {
    Load(view);
    const int result = exec();
    view_ = nullptr;
    memo_ = scriptLines_ = nullptr;
    return result;
}

int TkvEditorForm::EditPageScript(TkvPage& page) {
    LoadPage(page);
    const int result = exec();
    scriptLines_ = nullptr;
    return result;
}

void TkvEditorForm::Load(TkvView& view) {
    view_ = &view;
    memo_ = &view.Memo;
    scriptLines_ = &view.ScriptLines;
    plainView_ =
        !view.IsDialogControl() && !dynamic_cast<TkvBandView*>(&view) && view.ObjectType != kvvt::Band;
    LoadTexts(&view.Memo, view.ScriptLines, view.Restrictions, &view);
}

void TkvEditorForm::LoadPage(TkvPage& page) {
    view_ = nullptr;
    memo_ = nullptr;
    scriptLines_ = &page.Script;
    plainView_ = false;
    LoadTexts(nullptr, page.Script, 0, nullptr);
}

void TkvEditorForm::LoadTexts(const TkvStringList* memoLines, const TkvStringList& scriptLines,
                              uint16_t restrictions, const TkvView* fontOf) {
    lastError_.clear();
    QString textFont = QStringLiteral("Arial"), scriptFont = QStringLiteral("Courier New");
    int textSize = 10, scriptSize = 10;
    bool useDefaultFont = true;
    if (Settings) {
        Settings->beginGroup(SettingsGroup());
        textFont = Settings->value(QStringLiteral("TextFontName"), textFont).toString();
        textSize = Settings->value(QStringLiteral("TextFontSize"), textSize).toInt();
        scriptFont = Settings->value(QStringLiteral("ScriptFontName"), scriptFont).toString();
        scriptSize = Settings->value(QStringLiteral("ScriptFontSize"), scriptSize).toInt();
        SplitterPos = Settings->value(QStringLiteral("SplitterPos"), 100).toInt();
        useDefaultFont = Settings->value(QStringLiteral("UseDefaultFont"), true).toBool();
        Settings->endGroup();
    }
    auto* memo = dynamic_cast<const TkvMemoView*>(fontOf);
    textCharset_ = memo ? memo->Font.Charset : kvcs::Default;
    if (memo && useDefaultFont) {
        textFont = kv::DecodeText(memo->Font.Name, kvcs::Default);
        textSize = 10;
    }
    text_->setFont(PaneFont(textFont, textSize, false));
    script_->setFont(PaneFont(scriptFont, scriptSize, true));

    text_->setLineWrapMode(Action("wordwrap")->isChecked() ? QPlainTextEdit::WidgetWidth
                                                           : QPlainTextEdit::NoWrap);
    text_->setPlainText(memoLines ? PaneText(*memoLines, textCharset_) : QString());
    const QString script = PaneText(scriptLines, kvcs::Default);
    script_->setPlainText(script.isEmpty() ? QString::fromLatin1(kSkeleton) : script);
    message_->clear();
    if (!highlighting_) message_->hide();

    text_->setReadOnly(restrictions & 0x01);
    script_->setReadOnly(restrictions & 0x02);
    ApplyLayout();

    text_->moveCursor(QTextCursor::Start);
    text_->ensureCursorVisible();
    script_->moveCursor(QTextCursor::Start);
    active_ = plainView_ ? text_ : script_;
    active_->setFocus();
}

void TkvEditorForm::ApplyLayout() {
    QAction* script = Action("script");
    if (!plainView_) {
        text_->hide();
        scriptPanel_->show();
        script->setChecked(true);
        return;
    }
    text_->show();
    script->setChecked(ScriptShown);
    ShowScript(ScriptShown);
}

void TkvEditorForm::ShowScript(bool shown) {
    scriptPanel_->setVisible(shown);
    splitter_->handle(1)->setCursor(shown ? Qt::SplitVCursor : Qt::ArrowCursor);
    if (!shown) return;
    const int total = splitter_->height() > 0 ? splitter_->height() : height();
    const int top = std::clamp(SplitterPos, 20, std::max(20, total - 40));
    splitter_->setSizes({top, std::max(20, total - top - 2)});
}

void TkvEditorForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (!plainView_ || !scriptPanel_->isVisible()) return;
    const QList<int> sizes = splitter_->sizes();
    if (sizes.size() == 2 && sizes[1] > splitter_->height() - 40)
        splitter_->setSizes({splitter_->height() / 2, splitter_->height() / 2});
}

void TkvEditorForm::Insert(const QString& text) {
    if (text.isEmpty() || active_->isReadOnly()) return;
    active_->insertPlainText(text);
    active_->setFocus();
}

bool TkvEditorForm::ScriptIsSkeleton() const {
    const QString text = script_->toPlainText();
    if (highlighting_) {
        QString compact;
        for (QChar c : text)
            if (c.unicode() > 32) compact += c;
        return compact.isEmpty() || compact.compare(QStringLiteral("beginend"), Qt::CaseInsensitive) == 0;
    }
    const QStringList lines = text.split('\n');
    return lines.size() == 3 && lines[0].trimmed() == QStringLiteral("begin") &&
           lines[1].trimmed().isEmpty() && lines[2].trimmed() == QStringLiteral("end");
}

void TkvEditorForm::ErrorPosition(const QString& error, int& line, int& column) {
    line = 1;
    column = 1;
    const qsizetype slash = error.indexOf('/');
    if (slash < 0) return;
    const qsizetype colon = error.indexOf(':', slash);
    bool ok = false;
    const int l = error.mid(5, slash - 5).trimmed().toInt(&ok);
    if (ok) line = std::max(1, l);
    const int c = error.mid(slash + 1, colon < 0 ? -1 : colon - slash - 1).trimmed().toInt(&ok);
    if (ok) column = std::max(1, c);
}

void TkvEditorForm::ShowError(const QStringList& errors) {
    lastError_ = errors.first();
    int line = 1, column = 1;
    ErrorPosition(lastError_, line, column);
    QTextDocument* doc = script_->document();
    const QTextBlock block = doc->findBlockByNumber(std::clamp(line - 1, 0, doc->blockCount() - 1));
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + std::clamp(column - 1, 0, std::max(0, block.length() - 1)));
    script_->setTextCursor(cursor);
    script_->ensureCursorVisible();
    script_->setFocus();
    active_ = script_;
    if (highlighting_) {
        message_->setText(lastError_);
    } else {
        message_->setText(QStringLiteral(" ") + errors.join(QStringLiteral(" ")));
        message_->show();
    }
}

bool TkvEditorForm::Accept() {
    if (!scriptLines_) return false;
    const TkvStringList source = PaneLines(script_->toPlainText(), kvcs::Default);
    TkvInterpretator compiler;
    TkvStringList compiled, errors;
    compiler.Compile(source, compiled, errors);
    if (!errors.isEmpty()) {
        QStringList texts;
        for (const QByteArray& e : errors)
            texts.append(kv::DecodeText(e, kvcs::Default));
        ShowError(texts);
        return false;
    }
    Store();
    accept();
    return true;
}

void TkvEditorForm::Store() {
    if (Services.BeforeChange) Services.BeforeChange();
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    Action("wordwrap")->setChecked(false);
    if (memo_) *memo_ = PaneLines(text_->toPlainText(), textCharset_);
    if (ScriptIsSkeleton()) {
        if (!scriptLines_->isEmpty()) scriptLines_->clear();
    } else {
        *scriptLines_ = PaneLines(script_->toPlainText(), kvcs::Default);
    }
    if (plainView_) {
        ScriptShown = Action("script")->isChecked();
        if (ScriptShown && splitter_->sizes().size() == 2) SplitterPos = splitter_->sizes()[0];
    }
    if (Settings) {
        Settings->beginGroup(SettingsGroup());
        Settings->setValue(QStringLiteral("SplitterPos"), SplitterPos);
        Settings->endGroup();
    }
}

bool TkvEditorForm::eventFilter(QObject* watched, QEvent* event) {
    auto* pane = qobject_cast<QPlainTextEdit*>(watched);
    if (pane && (pane == text_ || pane == script_)) {
        if (event->type() == QEvent::FocusIn) active_ = pane;
        if (event->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(event);
            const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
            if (enter && (k->modifiers() & Qt::ControlModifier)) {
                Accept();
                return true;
            }
            if (k->key() == Qt::Key_Escape) {
                reject();
                return true;
            }
            if (k->key() == Qt::Key_Insert && k->modifiers() == Qt::NoModifier) {
                active_ = pane;
                if (Services.InsertFieldExpression) Insert(Services.InsertFieldExpression(this));
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::unique_ptr<TkvEditorForm> kv::MakeEditorForm(bool syntaxHighlight, QWidget* parent) {
    if (syntaxHighlight) return std::make_unique<TkvEditorForm>(parent);
    return std::make_unique<TkvEditorForm1>(parent);
}
