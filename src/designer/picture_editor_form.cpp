#include "designer/picture_editor_form.h"

#include "base/codepage.h"
#include "core/locale.h"
#include "render/painter_canvas.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString Text(int id) {
    return kv::DecodeText(kv::LoadLibraryText(id), kvcs::Default);
}
} // namespace

// The preview area: the window colour, "[None]" for no picture, a picture larger than the area
// stretched to it and a smaller one centred at its own size. The picture lives in a scratch
// picture object, so the preview decodes and draws exactly as the report does.
class TkvPicturePreview : public QWidget {
public:
    explicit TkvPicturePreview(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("PreviewArea"));
        setMinimumSize(240, 200);
    }
    TkvPictureView Scratch;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Base));
        if (Scratch.Picture.IsEmpty()) {
            p.setPen(palette().color(QPalette::Text));
            p.drawText(QRect(0, 100, width(), fontMetrics().height() + 4), Qt::AlignHCenter | Qt::AlignTop,
                       Text(55076));
            return;
        }
        const QSize size = Scratch.GraphicSize();
        if (size.isEmpty()) return;
        QRect target;
        if (size.width() > width() || size.height() > height())
            target = rect();
        else
            target = QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
        TkvPainterCanvas canvas(p);
        Scratch.DrawGraphic(canvas, target);
    }
};

TkvGEditorForm::TkvGEditorForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TkvGEditorForm"));
    setWindowTitle(Text(53460));
    auto* layout = new QVBoxLayout(this);
    preview_ = new TkvPicturePreview(this);
    layout->addWidget(preview_, 1);
    auto* buttons = new QHBoxLayout;
    load_ = new QPushButton(Text(53462), this);
    load_->setObjectName(QStringLiteral("Button3"));
    clear_ = new QPushButton(Text(53463), this);
    clear_->setObjectName(QStringLiteral("Button4"));
    ok_ = new QPushButton(Text(55000), this);
    ok_->setDefault(true);
    cancel_ = new QPushButton(Text(55001), this);
    buttons->addWidget(load_);
    buttons->addWidget(clear_);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    connect(load_, &QPushButton::clicked, this, [this] { LoadWithDialog(); });
    connect(clear_, &QPushButton::clicked, this, [this] { Clear(); });
    connect(ok_, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
}

TkvGEditorForm::~TkvGEditorForm() = default;

QWidget* TkvGEditorForm::PreviewArea() const {
    return preview_;
}
const TkvGraphic& TkvGEditorForm::Picture() const {
    return preview_->Scratch.Picture;
}

QString TkvGEditorForm::FileFilter() {
    return Text(55216) + QStringLiteral(" (*.bmp *.jpg *.jpeg *.ico *.wmf *.emf);;") + Text(55221) +
           QStringLiteral(" (*)");
}

int TkvGEditorForm::EditPicture(TkvPictureView& view) {
    Load(view);
    const int result = exec();
    if (result == QDialog::Accepted) Apply(view);
    return result;
}

void TkvGEditorForm::Load(const TkvPictureView& view) {
    preview_->Scratch.Picture = view.Picture;
    lastError_.clear();
    preview_->update();
}

void TkvGEditorForm::Apply(TkvPictureView& view) {
    if (Services.BeforeChange) Services.BeforeChange();
    view.Picture = preview_->Scratch.Picture;
    if (Services.AfterChange) Services.AfterChange();
}

void TkvGEditorForm::Refused(const QString& message) {
    lastError_ = message;
    if (ShowError)
        ShowError(message);
    else if (isVisible())
        QMessageBox::warning(this, windowTitle(), message);
}

bool TkvGEditorForm::LoadFile(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    const QFileInfo info(file);
    if (!info.isFile()) {
        Refused(QStringLiteral("'%1' is not a file.").arg(name));
        return false;
    }
    if (info.size() > TkvPictureView::kMaxPictureFileSize) {
        Refused(QStringLiteral("'%1' is too large for a picture.").arg(name));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        Refused(QStringLiteral("'%1' cannot be read: %2.").arg(name, file.errorString()));
        return false;
    }
    // Reads what the file holds (read(n) would reserve n bytes up front).
    const QByteArray bytes = file.read(info.size());
    TkvGraphic graphic;
    graphic.Kind = TkvGraphic::KindOfFile(bytes, path);
    graphic.Data = bytes;
    if (graphic.Kind == kvgk::None || bytes.isEmpty()) {
        Refused(QStringLiteral("'%1' is not a BMP, JPEG, icon, WMF or EMF picture.").arg(name));
        return false;
    }
    // Decoded by the same code that draws it: what cannot be drawn is not taken.
    TkvPictureView probe;
    probe.Picture = graphic;
    if (probe.GraphicSize().isEmpty()) {
        Refused(QStringLiteral("'%1' is damaged or in a form that cannot be read.").arg(name));
        return false;
    }
    preview_->Scratch.Picture = graphic;
    lastError_.clear();
    preview_->update();
    return true;
}

bool TkvGEditorForm::PasteFromClipboard() {
    const QImage image = QApplication::clipboard()->image();
    if (image.isNull()) return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP")) return false;
    preview_->Scratch.Picture = TkvGraphic{kvgk::Bitmap, bytes};
    preview_->update();
    return true;
}

void TkvGEditorForm::Clear() {
    preview_->Scratch.Picture.Clear();
    preview_->update();
}

void TkvGEditorForm::LoadWithDialog() {
    const QString path = ChooseFile
                             ? ChooseFile(this)
                             : QFileDialog::getOpenFileName(this, Text(53462), QString(), FileFilter());
    if (!path.isEmpty()) LoadFile(path);
}

void TkvGEditorForm::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste) ||
        (event->key() == Qt::Key_Insert && event->modifiers() == Qt::ShiftModifier)) {
        PasteFromClipboard();
        return;
    }
    QDialog::keyPressEvent(event);
}
