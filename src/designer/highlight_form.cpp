#include "designer/highlight_form.h"

#include "base/codepage.h"
#include "core/locale.h"
#include "core/views/memo_view.h"
#include "core/views/view_font.h"
#include "designer/tag_editor_form.h"
#include "render/colors.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QString Text(int id) {
    return kv::DecodeText(kv::LoadLibraryText(id), kvcs::Default);
}
constexpr uint32_t kNoColor = 0x1FFFFFFF;

QIcon Swatch(uint32_t color, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(color == kNoColor ? QBrush(Qt::NoBrush) : QBrush(kv::ColorToQColor(color)));
    p.drawRect(0, 0, size - 1, size - 1);
    return QIcon(pm);
}
} // namespace

TkvHilightForm::TkvHilightForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TkvHilightForm"));
    setWindowTitle(Text(53520));
    auto* layout = new QVBoxLayout(this);

    auto* conditionBox = new QGroupBox(Text(53521), this);
    conditionBox->setObjectName(QStringLiteral("GroupBox3"));
    auto* conditionRow = new QHBoxLayout(conditionBox);
    condition_ = new QLineEdit(conditionBox);
    condition_->setObjectName(QStringLiteral("Edit1"));
    condition_->setMinimumWidth(260);
    expression_ = new QToolButton(conditionBox);
    expression_->setText(QStringLiteral("..."));
    expression_->setToolTip(Text(53575));
    conditionRow->addWidget(condition_, 1);
    conditionRow->addWidget(expression_);
    layout->addWidget(conditionBox);

    auto* boxes = new QHBoxLayout;
    auto* fontBox = new QGroupBox(Text(53522), this);
    fontBox->setObjectName(QStringLiteral("GroupBox1"));
    auto* fontLayout = new QVBoxLayout(fontBox);
    fontColorBtn_ = new QPushButton(Text(53523), fontBox);
    fontColorBtn_->setObjectName(QStringLiteral("SpeedButton1"));
    bold_ = new QCheckBox(Text(53524), fontBox);
    italic_ = new QCheckBox(Text(53525), fontBox);
    underline_ = new QCheckBox(Text(53526), fontBox);
    for (QWidget* w : {static_cast<QWidget*>(fontColorBtn_), static_cast<QWidget*>(bold_),
                       static_cast<QWidget*>(italic_), static_cast<QWidget*>(underline_)})
        fontLayout->addWidget(w);
    boxes->addWidget(fontBox);

    auto* fillBox = new QGroupBox(Text(53527), this);
    fillBox->setObjectName(QStringLiteral("GroupBox2"));
    auto* fillLayout = new QVBoxLayout(fillBox);
    fillColorBtn_ = new QPushButton(Text(53528), fillBox);
    fillColorBtn_->setObjectName(QStringLiteral("SpeedButton2"));
    transparent_ = new QRadioButton(Text(53529), fillBox);
    other_ = new QRadioButton(Text(53530), fillBox);
    fillLayout->addWidget(transparent_);
    fillLayout->addWidget(other_);
    fillLayout->addWidget(fillColorBtn_);
    fillLayout->addStretch(1);
    boxes->addWidget(fillBox);
    layout->addLayout(boxes);
    layout->addLayout(kv::OkCancelRow(*this, ok_, cancel_));

    connect(expression_, &QToolButton::clicked, this, [this] {
        if (!Services.InsertExpression) return;
        const QString e = Services.InsertExpression(this, condition_->text());
        if (!e.isEmpty()) condition_->setText(e);
    });
    connect(fontColorBtn_, &QPushButton::clicked, this, [this] {
        uint32_t c = fontColor_;
        if (kv::ChooseDesignerColor(Services, c, this)) fontColor_ = c;
        ShowColors();
    });
    connect(fillColorBtn_, &QPushButton::clicked, this, [this] {
        uint32_t c = fillColor_ == kNoColor ? lastFill_ : fillColor_;
        if (kv::ChooseDesignerColor(Services, c, this)) fillColor_ = lastFill_ = c;
        ShowColors();
    });
    connect(transparent_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            fillColor_ = kNoColor;
        else if (fillColor_ == kNoColor)
            fillColor_ = lastFill_;
        ShowColors();
    });
}

void TkvHilightForm::ShowColors() {
    const int size = fontMetrics().height();
    fontColorBtn_->setIcon(Swatch(fontColor_, size));
    fillColorBtn_->setIcon(Swatch(fillColor_, size));
    fillColorBtn_->setEnabled(other_->isChecked());
}

int TkvHilightForm::EditHighlight(const std::vector<TkvView*>& selection) {
    const TkvMemoView* first = nullptr;
    for (TkvView* v : selection)
        if ((first = dynamic_cast<const TkvMemoView*>(v))) break;
    if (!first) return QDialog::Rejected;
    Load(*first);
    const int result = exec();
    if (result == QDialog::Accepted) Apply(selection);
    return result;
}

void TkvHilightForm::Load(const TkvMemoView& first) {
    condition_->setText(kv::DecodeText(first.HighlightCondition, kvcs::Default));
    fontColor_ = first.HighlightFontColor;
    fillColor_ = first.HighlightFillColor;
    if (fillColor_ != kNoColor) lastFill_ = fillColor_;
    bold_->setChecked(first.HighlightFontStyle & kvfs::Bold);
    italic_->setChecked(first.HighlightFontStyle & kvfs::Italic);
    underline_->setChecked(first.HighlightFontStyle & kvfs::Underline);
    const bool transparent = fillColor_ == kNoColor;
    transparent_->setChecked(transparent);
    other_->setChecked(!transparent);
    ShowColors();
}

void TkvHilightForm::Apply(const std::vector<TkvView*>& selection) {
    if (Services.BeforeChange) Services.BeforeChange();
    const QByteArray condition = kv::EncodeText(condition_->text(), kvcs::Default);
    for (TkvView* v : selection) {
        auto* memo = dynamic_cast<TkvMemoView*>(v);
        if (!memo) continue;
        memo->HighlightCondition = condition;
        memo->HighlightFontColor = fontColor_;
        memo->HighlightFillColor = fillColor_;
        uint16_t style = memo->HighlightFontStyle &
                         ~uint16_t(kvfs::Bold | kvfs::Italic | kvfs::Underline | kvfs::StrikeOut);
        if (bold_->isChecked()) style |= kvfs::Bold;
        if (italic_->isChecked()) style |= kvfs::Italic;
        if (underline_->isChecked()) style |= kvfs::Underline;
        memo->HighlightFontStyle = style;
    }
    if (Services.AfterChange) Services.AfterChange();
}
