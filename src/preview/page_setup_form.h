#pragma once
// The page setup dialog of the preview window: paper and orientation of the shared printer and the
// four page margins, shown in millimetres and kept in hundredths of a millimetre.

#include <QDialog>
#include <array>
#include <cstdint>

class QComboBox;
class QDoubleSpinBox;
class QRadioButton;

namespace kv {

// Margins convert between page units (18 to 5 mm) and hundredths of a millimetre by truncation:
// 18 units are 500, 10 units 277, and 1000 hundredths become 36 units.
inline int32_t MarginToHundredthsMm(int32_t pageUnits) { return int32_t(int64_t(pageUnits) * 500 / 18); }
inline int32_t HundredthsMmToMargin(int32_t hundredths) { return int32_t(int64_t(hundredths) * 18 / 500); }

} // namespace kv

struct TkvPageSetupChoice {
    int32_t PaperSize = 9;
    uint8_t Orientation = 0;
    std::array<int32_t, 4> Margins{}; // left, top, right, bottom in hundredths of a millimetre
};

class TkvPageSetupForm : public QDialog {
public:
    // The paper list is the shared printer's; `initial` preselects paper, orientation and margins.
    explicit TkvPageSetupForm(const TkvPageSetupChoice& initial, QWidget* parent = nullptr);

    TkvPageSetupChoice Choice() const;

    QComboBox* PaperBox;
    QRadioButton* Portrait;
    QRadioButton* Landscape;
    std::array<QDoubleSpinBox*, 4> MarginBoxes{}; // left, top, right, bottom, in millimetres
};
