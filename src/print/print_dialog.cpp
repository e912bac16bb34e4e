#include "print/print_dialog.h"

#include "base/codepage.h"
#include "base/page_list.h"
#include "core/locale.h"
#include "core/paper/paper_table.h"
#include "core/paper/printer.h"
#include "print/qt_printer_device.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QIntValidator>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>

namespace {

constexpr int MaxCopies = 9999;

QString Text(int id) {
    return kv::DecodeText(kv::LoadLibraryText(id), kvcs::Default);
}

// One sheet of the collate pictures: a white page with a folded corner and its number.
void DrawSheet(QPainter& p, const QRect& r, int number) {
    const int fold = 5;
    QPainterPath sheet;
    sheet.moveTo(r.left(), r.top());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.right(), r.bottom());
    sheet.lineTo(r.left(), r.bottom());
    sheet.closeSubpath();
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.drawLine(r.right() - fold, r.top(), r.right() - fold, r.top() + fold);
    p.drawLine(r.right() - fold, r.top() + fold, r.right(), r.top() + fold);
    QFont f = p.font();
    f.setPixelSize(9);
    p.setFont(f);
    p.drawText(r.adjusted(0, 4, -2, -2), Qt::AlignRight | Qt::AlignBottom, QString::number(number));
}

} // namespace

namespace kv {

QPixmap PrinterPicture() {
    QPixmap pm(18, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(5, 1, 8, 6); // the sheet going in
    p.setBrush(QColor(0xC0, 0xC0, 0xC0));
    p.drawRect(1, 6, 16, 6); // the body
    p.setBrush(QColor(0x80, 0x80, 0x80));
    p.drawRect(3, 12, 12, 3); // the tray
    p.setPen(QColor(0x00, 0x80, 0x00));
    p.drawPoint(14, 8); // the lamp
    return pm;
}

QPixmap CollatePicture(bool collate) {
    QPixmap pm = collate ? QPixmap(74, 53) : QPixmap(92, 40);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    if (collate) {
        // Two sets, each 3 over 2 over 1.
        for (int set = 0; set < 2; ++set)
            for (int n = 3; n >= 1; --n) {
                const int x = set * 40 + (3 - n) * 6, y = (3 - n) * 7;
                DrawSheet(p, QRect(x, y, 24, 38), n);
            }
    } else {
        // Three pairs: 1 1, 2 2, 3 3.
        for (int n = 1; n <= 3; ++n)
            for (int copy = 1; copy >= 0; --copy) {
                const int x = (n - 1) * 32 + copy * 6, y = copy * 6;
                DrawSheet(p, QRect(x, 8 - y - 2, 22, 31), n);
            }
    }
    return pm;
}

} // namespace kv

void TkvClickLabel::mousePressEvent(QMouseEvent* e) {
    QLabel::mousePressEvent(e);
    if (Clicked) Clicked();
}

void TkvClickLabel::mouseDoubleClickEvent(QMouseEvent* e) {
    QLabel::mouseDoubleClickEvent(e);
    if (Clicked) Clicked();
}

TkvPrintForm::TkvPrintForm(int pageCount, QWidget* parent) : QDialog(parent), pageCount_(pageCount) {
    setObjectName("kvPrintForm");
    setWindowTitle(Text(53040));
    setFixedSize(485, 225);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* printerBox = new QGroupBox(Text(53041), this);
    printerBox->setGeometry(8, 4, 469, 54);
    auto* nameLabel = new QLabel(Text(53049), printerBox);
    nameLabel->setGeometry(10, 24, 44, 16);
    CB1 = new QComboBox(printerBox);
    CB1->setObjectName("CB1");
    CB1->setGeometry(58, 20, 300, 24);
    CB1->setIconSize(QSize(18, 16));
    nameLabel->setBuddy(CB1);
    PropButton = new QPushButton(Text(53042), printerBox);
    PropButton->setObjectName("PropButton");
    PropButton->setGeometry(366, 19, 93, 26);

    auto* rangeBox = new QGroupBox(Text(53044), this);
    rangeBox->setGeometry(8, 62, 265, 120);
    RB1 = new QRadioButton(Text(53045), rangeBox);
    RB1->setObjectName("RB1");
    RB1->setGeometry(10, 20, 240, 18);
    RB1->setChecked(true);
    RB2 = new QRadioButton(Text(53046), rangeBox);
    RB2->setObjectName("RB2");
    RB2->setGeometry(10, 40, 240, 18);
    RB3 = new QRadioButton(Text(53047), rangeBox);
    RB3->setObjectName("RB3");
    RB3->setGeometry(10, 60, 80, 18);
    E2 = new QLineEdit(rangeBox);
    E2->setObjectName("E2");
    E2->setGeometry(92, 58, 163, 22);
    E2->installEventFilter(this);
    Label2 = new QLabel(Text(53048), rangeBox);
    Label2->setObjectName("Label2");
    Label2->setGeometry(10, 82, 247, 34);
    Label2->setWordWrap(true);
    QFont hint = Label2->font();
    hint.setPointSizeF(hint.pointSizeF() * 0.85);
    Label2->setFont(hint);
    connect(RB3, &QRadioButton::clicked, this, [this] { E2->setFocus(); });

    auto* copiesBox = new QGroupBox(Text(53043), this);
    copiesBox->setGeometry(280, 62, 197, 120);
    auto* copiesLabel = new QLabel(Text(53050), copiesBox);
    copiesLabel->setGeometry(10, 22, 118, 16);
    E1 = new QLineEdit(QStringLiteral("1"), copiesBox);
    E1->setObjectName("E1");
    E1->setGeometry(130, 19, 40, 22);
    E1->setValidator(new QIntValidator(0, MaxCopies, E1));
    copiesLabel->setBuddy(E1);
    SpinUp = new QToolButton(copiesBox);
    SpinUp->setObjectName("SpinUp");
    SpinUp->setArrowType(Qt::UpArrow);
    SpinUp->setGeometry(171, 19, 16, 11);
    SpinDown = new QToolButton(copiesBox);
    SpinDown->setObjectName("SpinDown");
    SpinDown->setArrowType(Qt::DownArrow);
    SpinDown->setGeometry(171, 30, 16, 11);
    connect(SpinUp, &QToolButton::clicked, this, [this] { AddCopies(1); });
    connect(SpinDown, &QToolButton::clicked, this, [this] { AddCopies(-1); });
    PB1 = new QLabel(copiesBox);
    PB1->setObjectName("PB1");
    PB1->setGeometry(8, 52, 94, 60);
    PB1->setAutoFillBackground(true);
    PB1->setBackgroundRole(QPalette::Button);
    CollateCB = new QCheckBox(copiesBox);
    CollateCB->setObjectName("CollateCB");
    CollateCB->setGeometry(108, 74, 18, 18);
    Label3 = new TkvClickLabel(Text(53051), copiesBox);
    Label3->setObjectName("Label3");
    Label3->setGeometry(126, 75, 66, 16);
    Label3->setBuddy(CollateCB);
    Label3->Clicked = [this] { CollateCB->toggle(); };
    connect(CollateCB, &QCheckBox::toggled, this, [this] { ShowCollatePicture(); });

    Label5 = new QLabel(Text(53052), this);
    Label5->setObjectName("Label5");
    Label5->adjustSize();
    Label5->move(10, 196);
    CB2 = new QComboBox(this);
    CB2->setObjectName("CB2");
    CB2->addItems({Text(53053), Text(53054), Text(53055)});
    CB2->setGeometry(Label5->geometry().right() + 1 + 11, 192, 150, 24);
    Label5->setBuddy(CB2);

    Button1 = new QPushButton(Text(55000), this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(318, 192, 75, 25);
    Button1->setDefault(true);
    Button2 = new QPushButton(Text(55001), this);
    Button2->setObjectName("Button2");
    Button2->setGeometry(402, 192, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    FillPrinters();
    connect(CB1, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i < 0) return;
        kv::SharedPrinter().SetPrinterIndex(i);
        PropButton->setEnabled(!kv::SharedPrinter().VirtualPrinterSelected());
    });
    connect(PropButton, &QPushButton::clicked, this, [this] { ShowProperties(); });
    ShowCollatePicture();

    if (QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
}

void TkvPrintForm::FillPrinters() {
    TkvPrinter& printer = kv::SharedPrinter();
    oldIndex_ = printer.PrinterIndex;
    const QPixmap picture = kv::PrinterPicture();
    for (const QByteArray& name : printer.Printers)
        CB1->addItem(QIcon(picture), kv::DecodeText(name, kvcs::Default));
    // A report made where no printer was installed names the virtual printer, which cannot print:
    // with queues at hand the system's default one is offered instead (Cancel puts it back).
    if (printer.VirtualPrinterSelected() && printer.VirtualPrinterIndex > 0 && printer.PlatformPrinter) {
        const int queue = printer.PlatformPrinter->DefaultPrinter();
        printer.SetPrinterIndex(queue >= 0 && queue < printer.VirtualPrinterIndex ? queue : 0);
    }
    CB1->setCurrentIndex(printer.PrinterIndex);
    PropButton->setEnabled(!printer.VirtualPrinterSelected());
}

void TkvPrintForm::ShowProperties() {
    TkvPrinter& printer = kv::SharedPrinter();
    auto* device = dynamic_cast<TkvQtPrinterDevice*>(printer.PlatformPrinter);
    if (!device || printer.VirtualPrinterSelected() || !printer.DeviceMode()) return;
    const QString queue = device->QueueName(printer.PrinterIndex);
    QPrinter qprinter(QPrinterInfo::printerInfo(queue), QPrinter::HighResolution);
    TkvDeviceSettings current = *printer.DeviceMode();
    kv::ConfigureQPrinter(qprinter, current);
    QPageSetupDialog dialog(&qprinter, this);
    if (dialog.exec() != QDialog::Accepted) return;
    // What the driver's dialog chose becomes the printer's selection.
    const TkvDeviceSettings chosen = kv::SettingsFromLayout(qprinter.pageLayout(), current);
    printer.PaperSize = chosen.PaperSize;
    printer.Orientation = chosen.Orientation;
    if (chosen.PaperSize == kv::CustomPaperId) {
        printer.PaperWidth = chosen.Orientation ? chosen.PaperLength : chosen.PaperWidth;
        printer.PaperHeight = chosen.Orientation ? chosen.PaperWidth : chosen.PaperLength;
    }
    printer.ApplySettings();
}

void TkvPrintForm::ShowCollatePicture() {
    PB1->setPixmap(QPixmap());
    QPixmap canvas(PB1->size());
    canvas.fill(palette().color(QPalette::Button));
    QPainter p(&canvas);
    const bool collate = CollateCB->isChecked();
    p.drawPixmap(collate ? QPoint(8, 0) : QPoint(0, 8), kv::CollatePicture(collate));
    p.end();
    PB1->setPixmap(canvas);
}

void TkvPrintForm::AddCopies(int delta) {
    bool ok = false;
    int n = E1->text().toInt(&ok);
    if (!ok) n = 1;
    E1->setText(QString::number(std::clamp(n + delta, 1, MaxCopies)));
}

QString TkvPrintForm::PageListText(int currentPage) const {
    if (RB1->isChecked()) return {};
    if (RB2->isChecked()) return QString::number(currentPage);
    return E2->text();
}

int TkvPrintForm::Copies() const {
    return std::max(1, E1->text().toInt());
}

uint8_t TkvPrintForm::PageParity() const {
    return static_cast<uint8_t>(std::clamp(CB2->currentIndex(), 0, 2));
}

bool TkvPrintForm::Collate() const {
    return CollateCB->isChecked();
}

QString TkvPrintForm::Validate() const {
    bool ok = false;
    const int copies = E1->text().toInt(&ok);
    if (!ok || copies < 0 || copies > MaxCopies)
        return QStringLiteral("Enter a number of copies from 1 to %1.").arg(MaxCopies);
    if (!RB3->isChecked()) return {};
    QString error;
    const std::optional<TkvPageList> list = TkvPageList::Parse(E2->text(), pageCount_, &error);
    if (!list) return error + u'\n' + Label2->text();
    const uint8_t parity = PageParity();
    for (int n : list->Pages())
        if (parity == 0 || n % 2 == (parity == 1 ? 1 : 0)) return {};
    return QStringLiteral("No page of the report is selected by the page list and the odd/even choice.");
}

void TkvPrintForm::done(int r) {
    if (r == Accepted) {
        const QString problem = Validate();
        if (!problem.isEmpty()) {
            QMessageBox::warning(this, Text(53040), problem);
            return;
        }
    } else {
        kv::SharedPrinter().SetPrinterIndex(oldIndex_);
    }
    QDialog::done(r);
}

bool TkvPrintForm::eventFilter(QObject* watched, QEvent* e) {
    if (watched == E2 && e->type() == QEvent::FocusIn) RB3->setChecked(true);
    return QDialog::eventFilter(watched, e);
}
