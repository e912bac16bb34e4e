#pragma once
// The restrictions editor ("Object's restrictions"): seven boxes for the restriction bits 0x01 to
// 0x40 of the current object; OK gives every selected object those seven bits.

#include "designer/editor_services.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QPushButton;
class TkvView;

class TkvRestrictionsForm : public QDialog {
public:
    explicit TkvRestrictionsForm(QWidget* parent = nullptr);

    // Shows `current`'s bits; on OK sets them on `selection` (the designer's undo step first).
    int EditRestrictions(TkvView& current, const std::vector<TkvView*>& selection);
    void Load(const TkvView& current);
    void Apply(const std::vector<TkvView*>& selection);
    uint16_t Bits() const;

    TkvDesignerServices Services;

    QCheckBox* Box(int bit) const { return boxes_[size_t(bit)]; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    std::array<QCheckBox*, 7> boxes_{};
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
