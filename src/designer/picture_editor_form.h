#pragma once
// The picture editor: shows a copy of a picture object's picture, loads another from a BMP, JPEG,
// icon, WMF or EMF file (or pastes one from the clipboard), clears it, and on OK gives it to the
// object after the designer's undo step. A file that cannot be read as a picture is refused with
// its reason and the dialog keeps the picture it had.

#include "core/views/picture_view.h"
#include "designer/editor_services.h"

#include <QDialog>
#include <memory>

class QPushButton;
class TkvPicturePreview;

class TkvGEditorForm : public QDialog {
public:
    explicit TkvGEditorForm(QWidget* parent = nullptr);
    ~TkvGEditorForm() override;

    // Edits the view's picture modally; QDialog::Accepted when the view took the dialog's picture.
    int EditPicture(TkvPictureView& view);
    // The steps around the modal loop: Load copies the view's picture, Apply is OK's change.
    void Load(const TkvPictureView& view);
    void Apply(TkvPictureView& view);

    // Replaces the dialog's picture by the file's; false with the reason in LastError (and the
    // picture kept) when the file cannot be read as a picture.
    bool LoadFile(const QString& path);
    // Replaces the dialog's picture by the clipboard's image; false when it holds none.
    bool PasteFromClipboard();
    void Clear();
    const TkvGraphic& Picture() const;
    QString LastError() const { return lastError_; }

    TkvDesignerServices Services;
    // Asks for the file to load; empty when cancelled. Default: an open dialog with the picture filter.
    std::function<QString(QWidget* parent)> ChooseFile;
    // Shows a refused file's reason. Default: a warning box.
    std::function<void(const QString& message)> ShowError;

    QWidget* PreviewArea() const;
    QPushButton* LoadButton() const { return load_; }
    QPushButton* ClearButton() const { return clear_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

    // "Picture file (*.bmp *.jpg *.ico *.wmf *.emf)" and "All files (*)", as the open dialog shows them.
    static QString FileFilter();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void LoadWithDialog();
    void Refused(const QString& message);

    TkvPicturePreview* preview_ = nullptr;
    QPushButton* load_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QString lastError_;
};
