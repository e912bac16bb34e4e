#pragma once
// Shared pieces of the export options dialogs: number fields read back leniently and the page range
// group.

#include <QString>
#include <vector>

class QGridLayout;
class QGroupBox;
class QLineEdit;
class QWidget;

namespace kvexportui {

// A library text for a label.
QString Text(int id);

// A decimal number as the user typed it ("," or "." as separator); `fallback` when it is not one.
double ReadNumber(const QString& text, double fallback);
// A number shown without trailing zeros.
QString ShowNumber(double v);
// "Page range" with "&Pages:", the hint and the field; the field is returned in `field`.
QGroupBox* PageRangeGroup(QWidget* parent, QLineEdit** field);
// The pages of a page range text for a report of pageCount pages: empty (every page) when the text
// is empty or not a valid list.
std::vector<int> ReadPageList(const QString& text, int pageCount);
// The text of a page list, for showing it again.
QString PageListText(const std::vector<int>& pages);

} // namespace kvexportui
