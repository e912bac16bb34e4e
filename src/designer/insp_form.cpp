#include "designer/insp_form.h"

#include "base/codepage.h"
#include "core/locale.h"
#include "core/object.h"
#include "render/colors.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStylePainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QString Decode(const QByteArray& text) {
    return kv::DecodeText(text, kvcs::Default);
}
QByteArray Encode(const QString& text) {
    return kv::EncodeText(text, kvcs::Default);
}

constexpr int kButtonSize = 14;
constexpr int kNameLeft = 5;

bool HasDropDown(uint16_t kind) {
    return kind & (kvpk::Boolean | kvpk::Color | kvpk::Enum);
}
bool IsPlain(uint16_t kind) {
    return !(kind & (kvpk::Boolean | kvpk::Color | kvpk::Enum | kvpk::Editor));
}

} // namespace

// The object selector: its list is filled by the designer when it drops down; closed, it shows
// the chosen name with the class of the current object.
class TkvInspSelector : public QComboBox {
public:
    explicit TkvInspSelector(TkvInspForm& form) : QComboBox(&form), form_(form) {}

    void showPopup() override {
        if (form_.locked_) return;
        QStringList names;
        if (form_.OnFillObjectList) form_.OnFillObjectList(names);
        names.sort(Qt::CaseInsensitive);
        names.removeDuplicates();
        const QString current = form_.CurrentObjectCaption;
        clear();
        addItems(names);
        setCurrentIndex(findText(current));
        QComboBox::showPopup();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter p(this);
        QStyleOptionComboBox opt;
        initStyleOption(&opt);
        opt.currentText = form_.locked_ ? QString() : form_.SelectorText();
        p.drawComplexControl(QStyle::CC_ComboBox, opt);
        p.drawControl(QStyle::CE_ComboBoxLabel, opt);
    }

private:
    TkvInspForm& form_;
};

// The rows: names and values with the column boundary, the selected row drawn sunken. Holds the
// edit and the two small buttons of the selected row.
class TkvInspRowArea : public QWidget {
public:
    explicit TkvInspRowArea(TkvInspForm& form) : QWidget(nullptr), form_(form) {
        setMouseTracking(true);
        setAutoFillBackground(false);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QPalette& pal = palette();
        p.fillRect(rect(), pal.color(QPalette::Button));
        if (form_.locked_) return;
        const int h = form_.rowHeight_;
        const int split = form_.splitPos_;
        const QColor shadow = pal.color(QPalette::Dark);
        const QColor light = pal.color(QPalette::Light);
        const QColor valueColor(0, 0, 0x80);
        p.setFont(font());
        for (int i = 0; i < form_.RowCount(); ++i) {
            const int top = i * h;
            if (top > height()) break;
            const QString name = form_.DisplayName(form_.Row(i).Name);
            const QRect nameRect(kNameLeft, top, std::max(0, split - 2 - kNameLeft), h);
            if (i == form_.currentRow_) continue;
            p.setPen(shadow);
            p.drawLine(0, top + h - 1, width(), top + h - 1);
            p.drawLine(split - 1, top, split - 1, top + h - 1);
            p.setPen(light);
            p.drawLine(split, top, split, top + h - 2);
            p.setPen(pal.color(QPalette::ButtonText));
            p.drawText(nameRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, name);
            p.setPen(valueColor);
            p.drawText(QRect(split + 2, top, width() - split - 2, h), Qt::AlignVCenter | Qt::AlignLeft,
                       Decode(form_.Row(i).Text));
        }
        // The selected row last, sunken; its value is shown by the edit.
        const int i = form_.currentRow_;
        if (i >= 0 && i < form_.RowCount()) {
            const int top = i * h;
            p.setPen(shadow);
            if (top >= 2) p.drawLine(0, top - 2, width(), top - 2);
            p.setPen(pal.color(QPalette::Shadow));
            if (top >= 1) p.drawLine(0, top - 1, width(), top - 1);
            p.drawLine(0, top, 0, top + h - 1);
            p.setPen(light);
            p.drawLine(0, top + h - 1, width(), top + h - 1);
            p.setPen(shadow);
            p.drawLine(split - 1, top, split - 1, top + h - 2);
            p.drawLine(split, top, split, top + h - 2);
            p.setPen(light);
            p.drawLine(split + 1, top, split + 1, top + h - 2);
            p.setPen(pal.color(QPalette::ButtonText));
            p.drawText(QRect(kNameLeft, top, std::max(0, split - 2 - kNameLeft), h),
                       Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                       form_.DisplayName(form_.Row(i).Name));
        }
    }

    void mouseMoveEvent(QMouseEvent* e) override {
        const int x = int(e->position().x());
        if (dragging_) {
            if (x > kNameLeft) form_.SetSplitPos(x);
            return;
        }
        setCursor(std::abs(x - form_.splitPos_) <= 1 ? Qt::SplitHCursor : Qt::ArrowCursor);
    }

    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return;
        const int x = int(e->position().x());
        if (std::abs(x - form_.splitPos_) <= 1) {
            dragging_ = true;
            return;
        }
        if (form_.locked_ || form_.rows_.empty()) return;
        form_.SelectRow(int(e->position().y()) / form_.rowHeight_);
        form_.edit_->setFocus();
        form_.lastPressMs_ = QDateTime::currentMSecsSinceEpoch();
    }

    void mouseReleaseEvent(QMouseEvent*) override { dragging_ = false; }

    void resizeEvent(QResizeEvent* e) override {
        QWidget::resizeEvent(e);
        form_.LayoutEdit();
    }

    void mouseDoubleClickEvent(QMouseEvent* e) override {
        if (int(e->position().x()) > form_.splitPos_) form_.DoubleClickValue();
    }

private:
    TkvInspForm& form_;
    bool dragging_ = false;
};

TkvInspForm::TkvInspForm(QWidget* owner) : QWidget(owner, Qt::Tool) {
    setWindowTitle(Decode(kv::LoadLibraryText(53059)));
    setObjectName(QStringLiteral("TkvInspForm"));
    resize(140, 235);
    setMinimumWidth(100);
    rowHeight_ = QFontMetrics(font()).height() + 3;
    // Room for the edit's own text at any scale.
    rowHeight_ = std::max(rowHeight_, QFontMetrics(font()).boundingRect(QStringLiteral("Wg")).height() + 3);
    // Without a stored position the names column fits the common names in the window's font.
    defaultSplitPos_ =
        std::max(75, QFontMetrics(font()).horizontalAdvance(QStringLiteral("CharSpacing")) + 10);
    splitPos_ = defaultSplitPos_;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(3);
    selector_ = new TkvInspSelector(*this);
    selector_->setObjectName(QStringLiteral("CB1"));
    layout->addWidget(selector_);
    box_ = new QScrollArea(this);
    box_->setObjectName(QStringLiteral("Box"));
    box_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box_->setWidgetResizable(true);
    area_ = new TkvInspRowArea(*this);
    area_->setObjectName(QStringLiteral("PaintBox1"));
    box_->setWidget(area_);
    layout->addWidget(box_, 1);

    edit_ = new QLineEdit(area_);
    edit_->setObjectName(QStringLiteral("Edit1"));
    edit_->setFrame(false);
    edit_->hide();
    edit_->installEventFilter(this);
    editBtn_ = new QToolButton(area_);
    editBtn_->setObjectName(QStringLiteral("EditBtn"));
    editBtn_->setText(QStringLiteral("..."));
    editBtn_->setFocusPolicy(Qt::NoFocus);
    editBtn_->hide();
    comboBtn_ = new QToolButton(area_);
    comboBtn_->setObjectName(QStringLiteral("ComboBtn"));
    comboBtn_->setArrowType(Qt::DownArrow);
    comboBtn_->setFocusPolicy(Qt::NoFocus);
    comboBtn_->hide();
    connect(editBtn_, &QToolButton::clicked, this, [this] { RunEditor(); });
    connect(comboBtn_, &QToolButton::clicked, this, [this] { ToggleDropDown(); });

    popup_ = new QListWidget(this);
    popup_->setObjectName(QStringLiteral("PopupList"));
    popup_->setWindowFlags(Qt::Popup);
    popup_->hide();
    connect(popup_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ChoosePopupItem(popup_->row(item)); });
    popup_->installEventFilter(this);

    connect(selector_, &QComboBox::activated, this, [this](int index) {
        const QString name = selector_->itemText(index);
        if (OnSelectObject) OnSelectObject(name);
        edit_->setFocus();
    });

    ReadLocalizedNames();
}

TkvInspForm::~TkvInspForm() = default;

QComboBox* TkvInspForm::Selector() const {
    return selector_;
}
QWidget* TkvInspForm::RowArea() const {
    return area_;
}

void TkvInspForm::ReadLocalizedNames() {
    for (int id = 58001;; ++id) {
        const QByteArray text = kv::LoadLibraryText(id);
        if (text.isEmpty()) break;
        const qsizetype eq = text.indexOf('=');
        if (eq <= 0 || eq + 1 >= text.size()) continue;
        LocalizedNames.insert(text.left(eq), Decode(text.mid(eq + 1)));
    }
}

QString TkvInspForm::DisplayName(const QByteArray& name) const {
    if (UseLocalizedNames) {
        const auto it = LocalizedNames.constFind(name);
        if (it != LocalizedNames.constEnd()) return *it;
    }
    return Decode(name);
}

QString TkvInspForm::SelectorText() const {
    if (CurrentObjectCaption.isEmpty()) return {};
    if (!CurrentObject) return CurrentObjectCaption;
    return CurrentObjectCaption + QStringLiteral(": ") + QString::fromLatin1(CurrentObject->ClassName());
}

void TkvInspForm::ClearRows() {
    rows_.clear();
}

void TkvInspForm::AddRow(const QByteArray& name, const TkvVariant& value, TkvEditorProc editor,
                         const TkvStringList& enumNames, const TkvVariant& enumValues, uint16_t kind) {
    TkvInspRow row;
    row.Name = name;
    row.DataType = kind;
    row.Editor = std::move(editor);
    row.Enum = enumNames;
    row.EnumValues = enumValues;
    row.Text = kvinsp::DisplayForm(value, kind, enumNames, enumValues);
    rows_.push_back(std::move(row));
}

void TkvInspForm::AddRow(TkvInspRow row) {
    rows_.push_back(std::move(row));
}

TkvVariant TkvInspForm::RowValue(int index) const {
    return kvinsp::RowValue(Row(index));
}

int TkvInspForm::RowIndex(const QByteArray& name) const {
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].Name.compare(name, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

void TkvInspForm::RefreshRows() {
    const QByteArray previous =
        currentRow_ >= 0 && currentRow_ < RowCount() ? lastSelectedName_ : QByteArray();
    area_->setMinimumHeight(RowCount() * rowHeight_);
    area_->setMaximumHeight(std::max(1, RowCount() * rowHeight_));
    int row = previous.isEmpty() ? 0 : RowIndex(previous);
    if (row < 0) row = 0;
    currentRow_ = -1;
    if (RowCount() > 0) {
        committing_ = true; // the rows are new: nothing of the old row is committed
        SelectRow(row);
        committing_ = false;
    } else {
        edit_->hide();
        editBtn_->hide();
        comboBtn_->hide();
    }
    selector_->update();
    area_->update();
}

void TkvInspForm::ShowInspector() {
    if (collapsed_) ToggleCollapse();
    show();
    raise();
}

void TkvInspForm::SetLocked(bool locked) {
    locked_ = locked;
    edit_->setVisible(!locked && RowCount() > 0);
    if (locked) {
        editBtn_->hide();
        comboBtn_->hide();
        popup_->hide();
    }
    selector_->update();
    area_->update();
}

void TkvInspForm::SetSplitPos(int x) {
    splitPos_ = std::max(20, x);
    LayoutEdit();
    area_->update();
}

void TkvInspForm::LoadSettings(QSettings& settings) {
    SetSplitPos(settings.value(QStringLiteral("SplitPos"), defaultSplitPos_).toInt());
}

void TkvInspForm::SaveSettings(QSettings& settings) const {
    settings.setValue(QStringLiteral("SplitPos"), splitPos_);
}

void TkvInspForm::SelectRow(int i) {
    if (rows_.empty() || locked_) {
        edit_->hide();
        return;
    }
    if (!committing_ && currentRow_ >= 0 && edit_->isModified()) Commit();
    if (rows_.empty()) return;
    i = std::clamp(i, 0, RowCount() - 1);
    currentRow_ = i;
    lastSelectedName_ = rows_[size_t(i)].Name;
    const TkvInspRow& row = rows_[size_t(i)];
    popup_->hide();
    edit_->setReadOnly((row.DataType & kvpk::Editor) && !(row.DataType & kvpk::Text));
    edit_->setText(Decode(row.Text));
    edit_->selectAll();
    edit_->setModified(false);
    edit_->show();
    LayoutEdit();
    box_->ensureVisible(0, i * rowHeight_ + rowHeight_ / 2, 0, rowHeight_);
    area_->update();
}

void TkvInspForm::LayoutEdit() {
    if (currentRow_ < 0 || currentRow_ >= RowCount()) return;
    const TkvInspRow& row = rows_[size_t(currentRow_)];
    const int top = currentRow_ * rowHeight_ + 1;
    const int paintWidth = area_->width();
    int right = paintWidth;
    const bool editor = bool(row.Editor);
    const bool combo = HasDropDown(row.DataType);
    const int b = std::min(kButtonSize, rowHeight_ - 2);
    for (QToolButton* btn : {comboBtn_, editBtn_}) {
        const bool shown = btn == editBtn_ ? editor : combo;
        btn->setVisible(shown && !locked_);
        if (!shown) continue;
        btn->setGeometry(right - b - 1, top + (rowHeight_ - 2 - b) / 2, b, b);
        right -= b + 1;
    }
    edit_->setGeometry(splitPos_ + 2, top, std::max(10, right - splitPos_ - 3), rowHeight_ - 2);
}

void TkvInspForm::Commit() {
    if (locked_ || committing_ || currentRow_ < 0 || currentRow_ >= RowCount()) return;
    const int row = currentRow_;
    const QByteArray text = Encode(edit_->text());
    if (rows_[size_t(row)].Name.compare("Name", Qt::CaseInsensitive) == 0 && text.trimmed().isEmpty()) {
        edit_->setText(Decode(rows_[size_t(row)].Text));
        edit_->setModified(false);
        return;
    }
    rows_[size_t(row)].Text = text;
    edit_->setModified(false);
    committing_ = true;
    if (OnValueChanged) OnValueChanged(row);
    committing_ = false;
    if (!rows_.empty()) {
        committing_ = true;
        SelectRow(row < RowCount() ? row : 0);
        committing_ = false;
    }
}

void TkvInspForm::RunEditor() {
    if (locked_ || currentRow_ < 0 || currentRow_ >= RowCount()) return;
    const TkvEditorProc editor = rows_[size_t(currentRow_)].Editor;
    if (!editor) return;
    editor(CurrentObject);
    if (OnEditorRun) OnEditorRun();
}

void TkvInspForm::DoubleClickValue() {
    if (locked_ || currentRow_ < 0 || currentRow_ >= RowCount()) return;
    const TkvInspRow& row = rows_[size_t(currentRow_)];
    if (row.DataType & kvpk::Editor) {
        RunEditor();
        return;
    }
    QByteArray next;
    if (row.DataType & kvpk::Color) {
        uint32_t color = 0;
        try {
            color = static_cast<uint32_t>(kvinsp::RowValue(row).toInt());
        } catch (const TkvError&) {
        }
        bool chosen = false;
        if (ChooseColor) {
            chosen = ChooseColor(color);
        } else {
            const QColor c = QColorDialog::getColor(kv::ColorToQColor(color), this);
            if (c.isValid()) {
                color = kv::QColorToColor(c);
                chosen = true;
            }
        }
        if (!chosen) return;
        next = kvinsp::DisplayForm(TkvVariant(int64_t(color)), row.DataType);
    } else if (row.DataType & (kvpk::Boolean | kvpk::Enum)) {
        if ((row.DataType & kvpk::Enum) && row.Enum.isEmpty()) return;
        next = kvinsp::NextCycleText(row);
    } else {
        return;
    }
    edit_->setText(Decode(next));
    Commit();
}

void TkvInspForm::ToggleDropDown() {
    if (popup_->isVisible()) {
        popup_->hide();
        return;
    }
    if (locked_ || currentRow_ < 0 || currentRow_ >= RowCount()) return;
    const TkvInspRow& row = rows_[size_t(currentRow_)];
    const TkvStringList items = kvinsp::DropDownItems(row);
    if (items.isEmpty()) return;
    popup_->clear();
    const QFontMetrics fm(popup_->font());
    int widest = 0;
    for (const QByteArray& item : items) {
        popup_->addItem(Decode(item));
        widest = std::max(widest, fm.horizontalAdvance(Decode(item)));
    }
    const int selected = int(items.indexOf(Encode(edit_->text())));
    if (selected >= 0) popup_->setCurrentRow(selected);
    const int shown = std::min<int>(8, int(items.size()));
    int width = widest + 8 + (items.size() > 8 ? 16 : 0) + 2 * popup_->frameWidth();
    const int itemHeight = std::max(popup_->sizeHintForRow(0), fm.height());
    const int height = shown * (itemHeight + 1) + 2 + 2 * popup_->frameWidth();
    const int valueWidth = area_->width() - splitPos_ - 1;
    int left = 0;
    if (width < valueWidth) {
        left = splitPos_ + 1;
        width = valueWidth;
    } else {
        left = area_->width() - width + 2;
    }
    QPoint at = area_->mapToGlobal(QPoint(left, edit_->geometry().bottom() + 1));
    at.setX(std::max(0, at.x()));
    popup_->setGeometry(QRect(at, QSize(width, height)));
    popup_->show();
    popup_->setFocus();
}

void TkvInspForm::ChoosePopupItem(int index) {
    if (index < 0 || index >= popup_->count()) return;
    edit_->setText(popup_->item(index)->text());
    popup_->hide();
    edit_->setFocus();
    Commit();
}

void TkvInspForm::ToggleCollapse() {
    if (collapsed_) {
        collapsed_ = false;
        selector_->show();
        box_->show();
        resize(width(), expandedHeight_);
        RefreshRows();
    } else {
        expandedHeight_ = height();
        collapsed_ = true;
        selector_->hide();
        box_->hide();
        setMinimumHeight(0);
        resize(width(), 0);
    }
    if (OnCollapseToggled) OnCollapseToggled();
}

bool TkvInspForm::EditKey(int key) {
    switch (key) {
    case Qt::Key_Escape:
        if (currentRow_ >= 0 && currentRow_ < RowCount())
            edit_->setText(Decode(rows_[size_t(currentRow_)].Text));
        edit_->setModified(false);
        edit_->selectAll();
        return true;
    case Qt::Key_Up:
        if (currentRow_ > 0) SelectRow(currentRow_ - 1);
        return true;
    case Qt::Key_Down:
        if (currentRow_ + 1 < RowCount()) SelectRow(currentRow_ + 1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (currentRow_ >= 0 && currentRow_ < RowCount() &&
            (rows_[size_t(currentRow_)].DataType & kvpk::Editor) && rows_[size_t(currentRow_)].Editor)
            RunEditor();
        else if (edit_->isModified())
            Commit();
        edit_->selectAll();
        return true;
    default:
        return false;
    }
}

bool TkvInspForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_) {
        if (event->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(event);
            if (k->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) return false;
            if (k->key() == Qt::Key_Down && (k->modifiers() & Qt::AltModifier)) {
                ToggleDropDown();
                return true;
            }
            return EditKey(k->key());
        }
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (event->type() == QEvent::MouseButtonDblClick) {
            // The press that began this double-click may already have counted as one.
            if (doubleClickMs_ < 0 || now - doubleClickMs_ > QApplication::doubleClickInterval())
                DoubleClickValue();
            doubleClickMs_ = -1;
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress && lastPressMs_ >= 0 &&
            now - lastPressMs_ <= QApplication::doubleClickInterval()) {
            // A press in the edit soon after the press that selected the row.
            lastPressMs_ = -1;
            doubleClickMs_ = now;
            DoubleClickValue();
            return true;
        }
    } else if (watched == popup_ && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            ChoosePopupItem(popup_->currentRow());
            return true;
        }
        if (k->key() == Qt::Key_Escape) {
            popup_->hide();
            edit_->setFocus();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TkvInspForm::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::NonClientAreaMouseButtonDblClick:
        ToggleCollapse();
        return true;
    case QEvent::WindowDeactivate:
        // Leaving the window commits what was typed into a plain row; lists and dialogs commit
        // themselves.
        if (currentRow_ >= 0 && currentRow_ < RowCount() && edit_->isModified() && !popup_->isVisible() &&
            IsPlain(rows_[size_t(currentRow_)].DataType))
            Commit();
        break;
    case QEvent::Show:
        if (height() < 20) selector_->hide();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TkvInspForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutEdit();
}
