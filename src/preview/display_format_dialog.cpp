#include "preview/display_format_dialog.h"

#include "base/codepage.h"
#include "base/display_format.h"
#include "core/locale.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

QString Text(int id) { return kv::DecodeText(kv::LoadLibraryText(id), kvcs::Default); }

} // namespace

TkvDisplayFormatDialog::TkvDisplayFormatDialog(uint32_t word, const QByteArray& format, QWidget* parent)
    : QDialog(parent), categories_(new QListWidget(this)), formats_(new QListWidget(this)),
      decimals_(new QLineEdit(this)), separator_(new QLineEdit(this)), custom_(new QLineEdit(this)) {
    setWindowTitle(Text(53420));
    for (int c = 0; c <= 4; ++c) categories_->addItem(Text(55130 + c));
    decimals_->setValidator(new QIntValidator(0, 255, decimals_));
    separator_->setMaxLength(1);
    custom_->setMaxLength(255);

    auto* lists = new QHBoxLayout;
    lists->addWidget(categories_);
    lists->addWidget(formats_);
    auto* fields = new QFormLayout;
    fields->addRow(Text(53422), decimals_);
    fields->addRow(Text(53423), separator_);
    fields->addRow(Text(53424), custom_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(fields);
    layout->addWidget(buttons);

    const int category = std::min<int>(kvdf::Category(word), 4);
    const int index = int(kvdf::Index(word));
    categories_->setCurrentRow(category);
    FillFormats(category);
    const int row = formatIndexes_.indexOf(index);
    formats_->setCurrentRow(row < 0 ? 0 : row);
    decimals_->setText(QString::number(kvdf::Decimals(word)));
    const char sep = kvdf::Separator(word);
    separator_->setText(sep ? kv::DecodeText(QByteArray(1, sep), kvcs::Default) : QString());
    custom_->setText(kv::DecodeText(format, kvcs::Default));
    UpdateEnabled();

    connect(categories_, &QListWidget::currentRowChanged, this, [this](int c) {
        FillFormats(c);
        formats_->setCurrentRow(0);
        UpdateEnabled();
    });
    connect(formats_, &QListWidget::currentRowChanged, this, [this] { UpdateEnabled(); });
}

void TkvDisplayFormatDialog::FillFormats(int category) {
    const QSignalBlocker block(formats_);
    formats_->clear();
    formatIndexes_.clear();
    for (int i = 0; i <= 4; ++i) {
        const QString t = Text(55150 + 5 * category + i);
        if (t.isEmpty()) continue;
        formats_->addItem(t);
        formatIndexes_.append(i);
    }
}

void TkvDisplayFormatDialog::UpdateEnabled() {
    const bool number = categories_->currentRow() == int(kvdf::Number);
    decimals_->setEnabled(number);
    separator_->setEnabled(number);
    const int row = formats_->currentRow();
    custom_->setEnabled(row >= 0 && row < formatIndexes_.size() && formatIndexes_[row] == int(kvdf::CustomIndex));
}

uint32_t TkvDisplayFormatDialog::ComposeWord(int category, int index, const QString& decimals,
                                             const QString& separator) {
    bool ok = false;
    const int d = decimals.trimmed().toInt(&ok);
    const uint32_t dec = ok ? uint32_t(std::clamp(d, 0, 255)) : 0;
    const QByteArray sep = kv::EncodeText(separator.left(1), kvcs::Default);
    const uint8_t sepByte = sep.isEmpty() ? uint8_t(',') : uint8_t(sep[0]);
    return kvdf::Word(uint32_t(std::clamp(category, 0, 15)), uint32_t(std::clamp(index, 0, 255)), dec, sepByte);
}

uint32_t TkvDisplayFormatDialog::Word() const {
    const int row = formats_->currentRow();
    const int index = row >= 0 && row < formatIndexes_.size() ? formatIndexes_[row] : 0;
    return ComposeWord(categories_->currentRow(), index, decimals_->text(), separator_->text());
}

QByteArray TkvDisplayFormatDialog::Format() const {
    return custom_->isEnabled() ? kv::EncodeText(custom_->text(), kvcs::Default) : QByteArray();
}
