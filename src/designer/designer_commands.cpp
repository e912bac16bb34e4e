// The designer window's editing commands: undo and redo, the clipboard, z-order, alignment,
// formatting, pages, insertion, keyboard moves and editors.
#include "designer/designer_form.h"

#include "base/codepage.h"
#include "core/globals.h"
#include "core/locale.h"
#include "core/report/page.h"
#include "core/report/report.h"
#include "core/views/band_view.h"
#include "core/views/line_view.h"
#include "core/views/memo_view.h"
#include "core/views/subreport_view.h"
#include "core/views/view_factory.h"
#include "designer/designer_dialogs.h"
#include "designer/designer_page.h"
#include "designer/designer_shared.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace {

QString Text(int id) {
    return QString::fromUtf8(kv::LoadLibraryText(id));
}

bool IsBand(const TkvView& v) {
    return v.ObjectType == kvvt::Band;
}

int BandTypeOf(const TkvView& v) {
    return IsBand(v) ? static_cast<const TkvBandView&>(v).BandType() : -1;
}

bool IsTextView(const TkvView& v) {
    return dynamic_cast<const TkvMemoView*>(&v) != nullptr;
}

// Band types a page may hold more than once.
bool RepeatableBand(int type) {
    return (type >= kvbt::MasterHeader && type <= kvbt::SubdetailFooter) || type == kvbt::GroupHeader ||
           type == kvbt::GroupFooter;
}

} // namespace

// ---------------------------------------------------------------- restrictions

bool TkvDesignerForm::CanModifyView(const TkvView& v) const {
    return !(Restrictions() & kvdr::ChangeProperties) && !(v.Restrictions & kvvr::DontModify);
}

bool TkvDesignerForm::CanMoveView(const TkvView& v) const {
    return !(Restrictions() & kvdr::Move) && !(v.Restrictions & kvvr::DontMove);
}

bool TkvDesignerForm::CanSizeView(const TkvView& v) const {
    return !(Restrictions() & kvdr::Resize) && !(v.Restrictions & kvvr::DontSize);
}

bool TkvDesignerForm::CanDeleteView(const TkvView& v) const {
    return !(Restrictions() & kvdr::Delete) && !(v.Restrictions & kvvr::DontDelete);
}

// ---------------------------------------------------------------- tools

void TkvDesignerForm::SetTool(TkvDesignerTool tool, int tag) {
    tool_ = tool;
    insertTag_ = tag;
    QString name = "acSelectTool";
    if (tool == TkvDesignerTool::Line) name = "acDrawLine";
    else if (tool == TkvDesignerTool::Insert)
        name = tag == kvtag::Text      ? "acInsertText"
               : tag == kvtag::Band    ? "acInsertBand"
               : tag == kvtag::Picture ? "acInsertPicture"
               : tag == kvtag::SubReport ? "acInsertSubreport"
                                         : QString("acInsertAddIn%1").arg(tag - kvtag::FirstAddIn);
    if (QAction* a = actions_.value(name)) a->setChecked(true);
    surface_->update();
}

void TkvDesignerForm::EscapeCommand() {
    SetTool(TkvDesignerTool::Select);
    surface_->CancelDrag();
    surface_->UnselectAll();
    surface_->update();
    NotifySelectionChanged();
}

// ---------------------------------------------------------------- undo

void TkvDesignerForm::AddUndoStep(TkvUndoKind kind) {
    if (!page_) return;
    if (!options_.DisableUndo) history_.Record(kind, *page_, curPageIndex_, SelectedViews());
    SetModified(true);
}

void TkvDesignerForm::UndoCommand() {
    if (!page_ || options_.DisableUndo || !history_.Undo(*page_, curPageIndex_)) return;
    surface_->UnselectAll();
    RefreshTabs();
    SetModified(true);
    surface_->update();
    NotifySelectionChanged();
}

void TkvDesignerForm::RedoCommand() {
    if (!page_ || options_.DisableUndo || !history_.Redo(*page_, curPageIndex_)) return;
    surface_->UnselectAll();
    RefreshTabs();
    SetModified(true);
    surface_->update();
    NotifySelectionChanged();
}

// ---------------------------------------------------------------- names and order

void TkvDesignerForm::MakeUnique(TkvView& view) {
    ActivateContext();
    // IDs: above every ID of the report, so that undo steps find exactly this view.
    uint32_t maxID = 0;
    for (const auto& p : report_.Pages)
        for (const auto& v : p->Objects)
            if (v.get() != &view) maxID = std::max(maxID, v->ID);
    if (view.ID <= maxID) view.ID = maxID + 1;
    kv::NextViewID() = std::max(kv::NextViewID(), view.ID + 1);
    bool taken = view.Name.isEmpty();
    for (const auto& p : report_.Pages)
        for (const auto& v : p->Objects)
            if (v.get() != &view && v->Name.compare(view.Name, Qt::CaseInsensitive) == 0) taken = true;
    if (taken) view.CreateUniqueName();
}

void TkvDesignerForm::ReorderBands() {
    if (!page_) return;
    auto rank = [](const std::unique_ptr<TkvView>& v) {
        const int t = BandTypeOf(*v);
        if (t < 0) return 3;
        if (t == kvbt::Overlay) return 0;
        if (t >= kvbt::CrossHeader && t <= kvbt::CrossFooter) return 2;
        return 1;
    };
    std::stable_sort(page_->Objects.begin(), page_->Objects.end(),
                     [&rank](const auto& a, const auto& b) { return rank(a) < rank(b); });
}

// ---------------------------------------------------------------- insertion

std::vector<int> TkvDesignerForm::OfferedBandTypes() const {
    std::vector<int> offered;
    QSet<int> present;
    if (page_)
        for (const auto& v : page_->Objects)
            if (IsBand(*v)) present.insert(BandTypeOf(*v));
    for (int t = 0; t <= kvbt::Child; ++t)
        if (RepeatableBand(t) || !present.contains(t)) offered.push_back(t);
    return offered;
}

TkvView* TkvDesignerForm::InsertObject(int tag, TkvRect r) {
    if (!page_ || (Restrictions() & kvdr::Insert)) return nullptr;
    ActivateContext();
    const TkvObjectDefaults& d = shared_.Defaults;
    std::unique_ptr<TkvView> view;
    int bandType = -1;
    try {
        if (tag == kvtag::Band) {
            const std::vector<int> offered = OfferedBandTypes();
            if (offered.empty()) return nullptr;
            if (AskBandType) {
                bandType = AskBandType(offered);
            } else {
                TkvBandTypeDialog dialog(offered, this);
                if (dialog.exec() == QDialog::Accepted) bandType = dialog.Chosen();
            }
            if (bandType < 0) return nullptr;
            view = kv::CreateViewByType(kvvt::Band, {});
            static_cast<TkvBandView&>(*view).SetBandType(bandType);
        } else if (tag >= kvtag::FirstAddIn) {
            const auto& addIns = kv::AddInObjects();
            const size_t i = static_cast<size_t>(tag - kvtag::FirstAddIn);
            if (i >= addIns.size()) return nullptr;
            const QByteArray& cls = addIns[i].ClassName;
            for (const auto& v : page_->Objects)
                if (cls == v->ClassName() && (v->Flags & kvdf::OnePerPage)) {
                    QMessageBox::critical(this, Text(55206), Text(55442).replace("%s", QString::fromUtf8(cls)));
                    return nullptr;
                }
            view = kv::CreateViewByType(kvvt::AddIn, cls);
        } else {
            view = kv::CreateViewByType(static_cast<uint8_t>(tag), {});
        }
    } catch (const std::exception& e) {
        QMessageBox::critical(this, Text(55206), QString::fromUtf8(e.what()));
        return nullptr;
    }
    TkvView& v = *view;
    v.OwnerPage = page_;
    int w = r.Width(), h = r.Height();
    if (w == 0 && h == 0) {
        if (tag == kvtag::Text) w = d.DefaultTextWidth, h = d.DefaultTextHeight;
        else if (!v.IsDialogControl()) w = h = 36;
        else w = v.Width, h = v.Height;
    }
    w = std::max(w, 1);
    h = std::max(h, 1);
    if (tag == kvtag::Band) {
        const bool vertical = bandType >= kvbt::CrossHeader && bandType <= kvbt::CrossFooter;
        if (vertical) {
            v.SetBounds(r.Left, 0, w > surface_->width() - 10 ? 40 : w, surface_->height());
        } else {
            v.SetBounds(0, r.Top, surface_->width(), h);
        }
    } else {
        v.SetBounds(r.Left, r.Top, w, h);
    }
    if (tag < kvtag::FirstAddIn) v.FrameWidth = d.FrameWidth;
    if (tag != kvtag::Band) {
        v.FrameColor = d.FrameColor;
        v.FillColor = d.FillColor;
    }
    if (auto* m = dynamic_cast<TkvMemoView*>(&v)) {
        m->FrameTyp = d.FrameTyp;
        m->Font.Name = d.FontName;
        m->Font.Size = d.FontSize;
        m->Font.Color = d.FontColor;
        m->Font.Style = d.FontStyle;
        m->Font.Charset = d.FontCharset;
        m->Alignment = d.TextFlags;
    }
    if (tag == kvtag::SubReport) {
        const int index = report_.Pages.Add();
        report_.Page(index)->Name = QByteArray("Page") + QByteArray::number(index + 1);
        static_cast<TkvSubReportView&>(v).SubPageIndex = index;
    }
    v.Name.clear();
    MakeUnique(v);
    surface_->UnselectAll();
    v.Selected = 1;
    TkvView* inserted = view.get();
    page_->Objects.push_back(std::move(view));
    ReorderBands();
    surface_->ComputeGroup();
    selection_.SelectedView = inserted;
    AddUndoStep(TkvUndoKind::Insert);
    if (tag == kvtag::SubReport) RefreshTabs();
    if (!options_.KeepTool) SetTool(TkvDesignerTool::Select);
    surface_->update();
    NotifySelectionChanged();
    if (options_.EditAfterInsert && !inserted->IsDialogControl()) OpenEditor(inserted);
    return inserted;
}

TkvView* TkvDesignerForm::InsertLine(QPoint from, QPoint to) {
    if (!page_ || (Restrictions() & kvdr::Insert)) return nullptr;
    ActivateContext();
    std::unique_ptr<TkvView> view = kv::CreateViewByType(kvvt::Line, {});
    TkvView& v = *view;
    v.OwnerPage = page_;
    int left = from.x(), top = from.y(), w = to.x() - from.x(), h = to.y() - from.y();
    if (w < 0) left += w, w = -w;
    if (h < 0) top += h, h = -h;
    v.SetBounds(left, top, w, h);
    v.FrameWidth = shared_.Defaults.LineWidth;
    v.FrameColor = shared_.Defaults.FrameColor;
    static_cast<TkvLineView&>(v).NormalizeDirection();
    v.Name.clear();
    MakeUnique(v);
    surface_->UnselectAll();
    v.Selected = 1;
    TkvView* inserted = view.get();
    page_->Objects.push_back(std::move(view));
    surface_->ComputeGroup();
    selection_.SelectedView = inserted;
    AddUndoStep(TkvUndoKind::Insert);
    if (!options_.KeepTool) SetTool(TkvDesignerTool::Select);
    surface_->update();
    NotifySelectionChanged();
    return inserted;
}

TkvView* TkvDesignerForm::InsertTextAt(QPoint point, const QByteArray& text) {
    if (!page_ || (Restrictions() & kvdr::Insert)) return nullptr;
    const bool editAfter = options_.EditAfterInsert, keep = options_.KeepTool;
    const TkvDesignerTool tool = tool_;
    const int tag = insertTag_;
    options_.EditAfterInsert = false;
    options_.KeepTool = true;
    const QPoint at = options_.GridAlign ? surface_->SnapDown(point) : point;
    TkvView* v = InsertObject(kvtag::Text, {at.x(), at.y(), at.x(), at.y()});
    options_.EditAfterInsert = editAfter;
    options_.KeepTool = keep;
    SetTool(tool, tag);
    if (v) {
        v->Memo = kv::SplitLines(text);
        surface_->update();
        NotifySelectionChanged();
    }
    return v;
}

bool TkvDesignerForm::SetBandDataSource(TkvBandView& band, const QByteArray& source) {
    if (!page_ || !CanModifyView(band)) return false;
    const std::vector<TkvView*> kept = SelectedViews();
    for (TkvView* v : kept) v->Selected = 0;
    band.Selected = 1;
    AddUndoStep(TkvUndoKind::Modify);
    band.Selected = 0;
    for (TkvView* v : kept) v->Selected = 1;
    band.SetDataSource(source);
    AfterChange();
    return true;
}

bool TkvDesignerForm::ApplyToSelection(const std::function<void(TkvView&)>& change) {
    if (!page_ || (Restrictions() & kvdr::ChangeProperties)) return false;
    const std::vector<TkvView*> sel = SelectedViews();
    std::vector<TkvView*> targets;
    for (TkvView* v : sel)
        if (CanModifyView(*v)) targets.push_back(v);
    if (targets.empty()) return false;
    AddUndoStep(TkvUndoKind::Modify);
    for (TkvView* v : targets) change(*v);
    surface_->ComputeGroup();
    AfterChange();
    return true;
}

// ---------------------------------------------------------------- clipboard

void TkvDesignerForm::CopyCommand() {
    std::vector<QByteArray> items;
    for (TkvView* v : SelectedViews()) items.push_back(TkvDesignerClipboard::ViewStream(*v));
    if (items.empty()) return;
    shared_.Clipboard.SetItems(std::move(items));
    UpdateCommands();
}

void TkvDesignerForm::CutCommand() {
    if (selection_.SelNum == 0 || (Restrictions() & kvdr::Delete)) return;
    CopyCommand();
    DeleteCommand();
}

void TkvDesignerForm::DeleteCommand() {
    if (!page_ || (Restrictions() & kvdr::Delete)) return;
    std::vector<TkvView*> doomed;
    for (TkvView* v : SelectedViews())
        if (CanDeleteView(*v)) doomed.push_back(v);
    if (doomed.empty()) return;
    // Only the views that go are in the step.
    for (TkvView* v : SelectedViews()) v->Selected = 0;
    for (TkvView* v : doomed) v->Selected = 1;
    AddUndoStep(TkvUndoKind::Delete);
    for (int i = page_->ObjectCount() - 1; i >= 0; --i) {
        TkvView* v = page_->Object(i);
        if (!v->Selected) continue;
        if (BandTypeOf(*v) == kvbt::Child)
            for (const auto& o : page_->Objects)
                if (IsBand(*o) && static_cast<TkvBandView&>(*o).ChildBand == v->Name)
                    static_cast<TkvBandView&>(*o).ChildBand.clear();
        page_->Objects.erase(page_->Objects.begin() + i);
    }
    surface_->UnselectAll();
    RefreshTabs();
    SetModified(true);
    surface_->update();
    NotifySelectionChanged();
}

void TkvDesignerForm::PasteCommand() {
    if (!page_ || (Restrictions() & kvdr::Insert)) return;
    ActivateContext();
    std::vector<QByteArray> items;
    std::vector<std::unique_ptr<TkvView>> views;
    try {
        items = shared_.Clipboard.ItemsToPaste();
        for (const QByteArray& item : items) views.push_back(TkvDesignerClipboard::ReadView(item));
    } catch (const std::exception& e) {
        QMessageBox::critical(this, Text(55206), QString::fromUtf8(e.what()));
        return;
    }
    if (views.empty()) return;
    TkvView* targetBand = nullptr;
    for (const auto& v : page_->Objects) {
        if (IsBand(*v) && v->Selected && !targetBand) targetBand = v.get();
        v->Selected = 0;
    }
    // What may be pasted: no second object of a one-per-page class, no second band of a type
    // that cannot repeat.
    auto pasteable = [this](const TkvView& v, const std::vector<TkvView*>& added) {
        auto clash = [&v](const TkvView& o) {
            if ((o.Flags & kvdf::OnePerPage) && QByteArray(o.ClassName()) == v.ClassName() && v.ObjectType == kvvt::AddIn)
                return true;
            return IsBand(v) && IsBand(o) && BandTypeOf(o) == BandTypeOf(v) && !RepeatableBand(BandTypeOf(v));
        };
        for (const auto& o : page_->Objects)
            if (clash(*o)) return false;
        for (const TkvView* o : added)
            if (clash(*o)) return false;
        return true;
    };
    int minLeft = INT32_MAX, minTop = INT32_MAX;
    for (const auto& v : views) minLeft = std::min(minLeft, v->Left), minTop = std::min(minTop, v->Top);
    // The group's top-left lands at the visible top-left of the page.
    QPoint origin = surface_->mapFrom(scroll_->viewport(), QPoint(0, 0));
    origin.setX(std::max(0, origin.x()));
    origin.setY(std::max(0, origin.y()));
    if (origin != QPoint(0, 0)) origin = surface_->SnapDown(origin);
    std::vector<TkvView*> added;
    for (auto& v : views) {
        if (!pasteable(*v, added)) continue;
        v->OwnerPage = page_;
        v->Left = v->Left - minLeft + origin.x();
        v->Top = v->Top - minTop + origin.y();
        if (targetBand && !IsBand(*v)) v->Top = targetBand->Top + (v->Top - origin.y());
        MakeUnique(*v);
        v->Selected = 1;
        added.push_back(v.get());
        page_->Objects.push_back(std::move(v));
    }
    if (added.empty()) {
        surface_->update();
        NotifySelectionChanged();
        return;
    }
    ReorderBands();
    surface_->ComputeGroup();
    selection_.SelectedView = added.size() == 1 ? added.front() : nullptr;
    AddUndoStep(TkvUndoKind::Insert);
    surface_->update();
    NotifySelectionChanged();
}

void TkvDesignerForm::SelectAllCommand() {
    surface_->SelectAll();
    surface_->update();
    NotifySelectionChanged();
}

// ---------------------------------------------------------------- z-order

void TkvDesignerForm::BringToFront() {
    if (!page_ || selection_.SelNum == 0) return;
    AddUndoStep(TkvUndoKind::ZOrder);
    std::stable_partition(page_->Objects.begin(), page_->Objects.end(),
                          [this](const auto& v) { return !(v->Selected && CanMoveView(*v)); });
    ReorderBands();
    surface_->ComputeGroup();
    surface_->update();
    NotifySelectionChanged();
}

void TkvDesignerForm::SendToBack() {
    if (!page_ || selection_.SelNum == 0) return;
    AddUndoStep(TkvUndoKind::ZOrder);
    std::stable_partition(page_->Objects.begin(), page_->Objects.end(),
                          [this](const auto& v) { return v->Selected && CanMoveView(*v); });
    ReorderBands();
    surface_->ComputeGroup();
    surface_->update();
    NotifySelectionChanged();
}

// ---------------------------------------------------------------- alignment and grid

TkvView* TkvDesignerForm::ReferenceView() const {
    if (selection_.SelectedView && selection_.SelectedView->Selected) return selection_.SelectedView;
    const std::vector<TkvView*> sel = SelectedViews();
    return sel.empty() ? nullptr : sel.back();
}

void TkvDesignerForm::AlignCommand(TkvAlignCommand command) {
    if (!page_ || (Restrictions() & kvdr::Move)) return;
    const std::vector<TkvView*> sel = SelectedViews();
    TkvView* ref = ReferenceView();
    if (sel.empty() || !ref) return;
    TkvView* band = nullptr;
    for (TkvView* v : sel)
        if (IsBand(*v)) band = v;
    const int count = static_cast<int>(sel.size());
    const bool packing = band && (command == TkvAlignCommand::LeftEdges || command == TkvAlignCommand::RightEdges);
    const int needs = command == TkvAlignCommand::CenterHorizontally || command == TkvAlignCommand::CenterVertically ? 1
                      : command == TkvAlignCommand::SpaceHorizontally || command == TkvAlignCommand::SpaceVertically ? 3
                                                                                                                 : 2;
    if (!packing && count < needs) return;

    if (packing) {
        // Every object lying vertically within the band, packed from the margin edge.
        std::vector<TkvView*> row;
        for (const auto& v : page_->Objects)
            if (!IsBand(*v) && v->Top >= band->Top && v->Top + v->Height <= band->Top + band->Height && CanMoveView(*v))
                row.push_back(v.get());
        if (row.empty()) return;
        std::stable_sort(row.begin(), row.end(), [](const TkvView* a, const TkvView* b) { return a->Left < b->Left; });
        // All at the top of the left-most selected object (of the left-most object without one).
        int top = row.front()->Top, leftMost = INT32_MAX;
        for (const TkvView* v : sel)
            if (!IsBand(*v) && v->Left < leftMost) leftMost = v->Left, top = v->Top;
        // The step covers the views that move.
        for (TkvView* v : sel) v->Selected = 0;
        for (TkvView* v : row) v->Selected = 1;
        AddUndoStep(TkvUndoKind::Modify);
        for (TkvView* v : row) v->Selected = 0;
        for (TkvView* v : sel) v->Selected = 1;
        if (command == TkvAlignCommand::LeftEdges) {
            int x = page_->PrintAreaLeft();
            for (TkvView* v : row) v->Left = x, v->Top = top, x += v->Width;
        } else {
            int x = page_->PrintAreaRight();
            for (auto it = row.rbegin(); it != row.rend(); ++it) (*it)->Left = x - (*it)->Width, (*it)->Top = top, x -= (*it)->Width;
        }
        surface_->ComputeGroup();
        AfterChange();
        return;
    }

    AddUndoStep(TkvUndoKind::Modify);
    std::vector<TkvView*> movable;
    for (TkvView* v : sel)
        if (CanMoveView(*v)) movable.push_back(v);
    switch (command) {
    case TkvAlignCommand::LeftEdges:
        for (TkvView* v : movable) v->Left = ref->Left;
        break;
    case TkvAlignCommand::RightEdges:
        for (TkvView* v : movable) v->Left = ref->Left + ref->Width - v->Width;
        break;
    case TkvAlignCommand::Tops:
        for (TkvView* v : movable) v->Top = ref->Top;
        break;
    case TkvAlignCommand::Bottoms:
        for (TkvView* v : movable) v->Top = ref->Top + ref->Height - v->Height;
        break;
    case TkvAlignCommand::HorizontalCenters:
        for (TkvView* v : movable) v->Left = ref->Left + ref->Width / 2 - v->Width / 2;
        break;
    case TkvAlignCommand::VerticalCenters:
        for (TkvView* v : movable) v->Top = ref->Top + ref->Height / 2 - v->Height / 2;
        break;
    case TkvAlignCommand::CenterHorizontally:
    case TkvAlignCommand::CenterVertically: {
        const bool h = command == TkvAlignCommand::CenterHorizontally;
        int lo = INT32_MAX, hi = INT32_MIN;
        for (const TkvView* v : sel) {
            lo = std::min(lo, h ? v->Left : v->Top);
            hi = std::max(hi, h ? v->Left + v->Width : v->Top + v->Height);
        }
        const int extent = h ? surface_->width() : surface_->height();
        const int shift = (extent - (hi - lo)) / 2 - lo;
        for (TkvView* v : movable) (h ? v->Left : v->Top) += shift;
        break;
    }
    case TkvAlignCommand::SpaceHorizontally:
    case TkvAlignCommand::SpaceVertically: {
        const bool h = command == TkvAlignCommand::SpaceHorizontally;
        std::vector<TkvView*> order = sel;
        std::stable_sort(order.begin(), order.end(),
                         [h](const TkvView* a, const TkvView* b) { return h ? a->Left < b->Left : a->Top < b->Top; });
        const int first = h ? order.front()->Left : order.front()->Top;
        const int last = h ? order.back()->Left : order.back()->Top;
        const int step = (last - first) / (count - 1);
        for (size_t i = 1; i + 1 < order.size(); ++i) {
            TkvView* v = order[i];
            if (!CanMoveView(*v)) continue;
            const int prev = h ? order[i - 1]->Left : order[i - 1]->Top;
            (h ? v->Left : v->Top) = prev + step;
        }
        break;
    }
    }
    surface_->ComputeGroup();
    AfterChange();
}

void TkvDesignerForm::FitToGrid() {
    if (!page_ || selection_.SelNum == 0 || (Restrictions() & kvdr::Move)) return;
    AddUndoStep(TkvUndoKind::Modify);
    const int g = std::max(1, options_.GridSize);
    auto round = [g](int v) { return static_cast<int>(std::lround(double(v) / g)) * g; };
    for (TkvView* v : SelectedViews()) {
        if (!CanMoveView(*v)) continue;
        v->Left = round(v->Left);
        v->Top = round(v->Top);
        if (CanSizeView(*v)) {
            v->Width = round(v->Width);
            v->Height = round(v->Height);
            if (v->Width == 0) v->Width = g;
            if (v->Height == 0) v->Height = g;
        }
    }
    surface_->ComputeGroup();
    AfterChange();
}

// ---------------------------------------------------------------- keyboard moves

void TkvDesignerForm::MoveSelectionBy(int dx, int dy) {
    if (selection_.SelNum == 0 || (Restrictions() & kvdr::Move)) return;
    AddUndoStep(TkvUndoKind::Modify);
    for (TkvView* v : SelectedViews())
        if (CanMoveView(*v)) v->Left += dx, v->Top += dy;
    surface_->ComputeGroup();
    AfterChange();
}

void TkvDesignerForm::ResizeSelectionBy(int dx, int dy) {
    if (selection_.SelNum == 0) return;
    AddUndoStep(TkvUndoKind::Modify);
    for (TkvView* v : SelectedViews()) {
        if (CanSizeView(*v)) {
            v->Width = std::max(0, v->Width + dx);
            v->Height = std::max(0, v->Height + dy);
            v->AfterResize();
        } else if (CanMoveView(*v)) {
            v->Left += dx, v->Top += dy;
        }
    }
    surface_->ComputeGroup();
    AfterChange();
}

void TkvDesignerForm::SelectNearest(int dx, int dy, bool moveToTouch) {
    const std::vector<TkvView*> sel = SelectedViews();
    if (sel.size() != 1 || !page_) return;
    TkvView* cur = sel.front();
    const QPointF c(cur->Left + cur->Width / 2.0, cur->Top + cur->Height / 2.0);
    TkvView* best = nullptr;
    double bestDistance = 1e300;
    for (const auto& o : page_->Objects) {
        if (o.get() == cur || IsBand(*o)) continue;
        // Ahead in the direction of the key: its near edge beyond the current view's far edge,
        // or at least its centre beyond the current centre.
        const QPointF oc(o->Left + o->Width / 2.0, o->Top + o->Height / 2.0);
        const double along = dx ? (oc.x() - c.x()) * dx : (oc.y() - c.y()) * dy;
        if (along <= 0) continue;
        const double across = dx ? std::abs(oc.y() - c.y()) : std::abs(oc.x() - c.x());
        const double distance = along + 2 * across;
        if (distance < bestDistance) bestDistance = distance, best = o.get();
    }
    if (!best) return;
    if (moveToTouch) {
        if (!CanMoveView(*cur)) return;
        AddUndoStep(TkvUndoKind::Modify);
        if (dx > 0) cur->Left = best->Left - cur->Width;
        else if (dx < 0) cur->Left = best->Left + best->Width;
        else if (dy > 0) cur->Top = best->Top - cur->Height;
        else cur->Top = best->Top + best->Height;
        AfterChange();
        return;
    }
    surface_->UnselectAll();
    best->Selected = 1;
    surface_->ComputeGroup();
    selection_.SelectedView = best;
    surface_->update();
    NotifySelectionChanged();
}

// ---------------------------------------------------------------- formatting

void TkvDesignerForm::FormatCommand(int number, const QVariant& value) {
    if (!page_) return;
    TkvObjectDefaults& d = shared_.Defaults;
    const bool pressed = value.toBool();
    const QColor colour;
    const uint32_t colourValue = static_cast<uint32_t>(value.toULongLong());
    double width = 0;
    if (number == kvfmt::FrameWidth) {
        QString t = value.toString().trimmed();
        t.replace(',', '.');
        bool ok = false;
        width = t.toDouble(&ok);
        if (!ok || !std::isfinite(width) || width < 0 || width > 100) return;
    }
    int size = 0;
    if (number == kvfmt::FontSize) {
        bool ok = false;
        size = value.toString().trimmed().toInt(&ok);
        if (!ok || size <= 0 || size > 1000) return;
    }
    const QByteArray fontName = value.toString().toUtf8();
    AddUndoStep(TkvUndoKind::Modify);
    auto setBit = [pressed](uint16_t& word, uint16_t bit) { word = pressed ? (word | bit) : (word & ~bit); };
    auto setStyle = [pressed](uint16_t& style, uint16_t bit) { style = pressed ? (style | bit) : (style & ~bit); };
    const bool allowed = !(Restrictions() & kvdr::ChangeProperties);
    for (TkvView* v : allowed ? SelectedViews() : std::vector<TkvView*>{}) {
        if (IsBand(*v) || (v->Restrictions & kvvr::DontModify)) continue;
        auto* m = dynamic_cast<TkvMemoView*>(v);
        switch (number) {
        case kvfmt::TopLine: setBit(v->FrameTyp, 8); break;
        case kvfmt::LeftLine: setBit(v->FrameTyp, 4); break;
        case kvfmt::BottomLine: setBit(v->FrameTyp, 2); break;
        case kvfmt::RightLine: setBit(v->FrameTyp, 1); break;
        case kvfmt::AllLines: v->FrameTyp |= 0x0F; break;
        case kvfmt::NoFrame: v->FrameTyp &= 0xFFF0; break;
        case kvfmt::FillColor: v->FillColor = colourValue; break;
        case kvfmt::FrameColor: v->FrameColor = colourValue; break;
        case kvfmt::FrameWidth: v->FrameWidth = static_cast<float>(width); break;
        default:
            if (number >= kvfmt::FirstLineStyle && number <= kvfmt::LastLineStyle) {
                v->FrameStyle = static_cast<uint16_t>(number - kvfmt::FirstLineStyle);
                break;
            }
            if (!m) break;
            switch (number) {
            case kvfmt::FontName: m->Font.Name = fontName; break;
            case kvfmt::FontSize: m->Font.Size = size; break;
            case kvfmt::Bold: setStyle(m->Font.Style, kvfs::Bold); break;
            case kvfmt::Italic: setStyle(m->Font.Style, kvfs::Italic); break;
            case kvfmt::Underline: setStyle(m->Font.Style, kvfs::Underline); break;
            case kvfmt::AlignLeft: m->Alignment = (m->Alignment & 0xFC) + 0; break;
            case kvfmt::AlignRight: m->Alignment = (m->Alignment & 0xFC) + 1; break;
            case kvfmt::AlignCenter: m->Alignment = (m->Alignment & 0xFC) + 2; break;
            case kvfmt::WidthAlign: m->Alignment = (m->Alignment & 0xFC) | 3; break;
            case kvfmt::Rotate90: m->Alignment = pressed ? (m->Alignment | 4) : (m->Alignment & ~4); break;
            case kvfmt::VerticalAlign: m->Alignment = (m->Alignment & 0xE7) + value.toInt(); break;
            case kvfmt::FontColor: m->Font.Color = colourValue; break;
            default: break;
            }
        }
    }
    // The value becomes the default of new objects.
    switch (number) {
    case kvfmt::TopLine: setBit(d.FrameTyp, 8); break;
    case kvfmt::LeftLine: setBit(d.FrameTyp, 4); break;
    case kvfmt::BottomLine: setBit(d.FrameTyp, 2); break;
    case kvfmt::RightLine: setBit(d.FrameTyp, 1); break;
    case kvfmt::AllLines: d.FrameTyp |= 0x0F; break;
    case kvfmt::NoFrame: d.FrameTyp &= 0xFFF0; break;
    case kvfmt::FillColor: d.FillColor = colourValue; break;
    case kvfmt::FrameColor: d.FrameColor = colourValue; break;
    case kvfmt::FontColor: d.FontColor = colourValue; break;
    case kvfmt::FrameWidth: {
        const std::vector<TkvView*> sel = SelectedViews();
        if (sel.size() == 1 && sel.front()->ObjectType == kvvt::Line) d.LineWidth = static_cast<float>(width);
        else d.FrameWidth = static_cast<float>(width);
        break;
    }
    case kvfmt::FontName: d.FontName = fontName; break;
    case kvfmt::FontSize: d.FontSize = size; break;
    case kvfmt::Bold: setStyle(d.FontStyle, kvfs::Bold); break;
    case kvfmt::Italic: setStyle(d.FontStyle, kvfs::Italic); break;
    case kvfmt::Underline: setStyle(d.FontStyle, kvfs::Underline); break;
    case kvfmt::AlignLeft: d.TextFlags = (d.TextFlags & 0xFC) + 0; break;
    case kvfmt::AlignRight: d.TextFlags = (d.TextFlags & 0xFC) + 1; break;
    case kvfmt::AlignCenter: d.TextFlags = (d.TextFlags & 0xFC) + 2; break;
    case kvfmt::WidthAlign: d.TextFlags = (d.TextFlags & 0xFC) | 3; break;
    case kvfmt::VerticalAlign: d.TextFlags = (d.TextFlags & 0xE7) + value.toInt(); break;
    default: break;
    }
    (void)colour;
    surface_->update();
    surface_->setFocus();
    NotifySelectionChanged();
}

// ---------------------------------------------------------------- pages

void TkvDesignerForm::AddPageCommand(bool dialog) {
    if (!TemplateMode() || (Restrictions() & kvdr::AddPage)) return;
    const int index = report_.Pages.Add();
    TkvPage* page = report_.Page(index);
    QByteArray name;
    for (int n = index + 1;; ++n) {
        name = QByteArray("Page") + QByteArray::number(n);
        bool taken = false;
        for (const auto& p : report_.Pages) taken = taken || p->Name == name;
        if (!taken) break;
    }
    page->Name = name;
    if (dialog) page->PageType = kvpt::Dialog;
    const int previous = curPageIndex_;
    SetCurPage(index);
    if (!dialog) {
        bool confirmed = false;
        if (AskPageOptions) {
            confirmed = AskPageOptions(*page);
        } else {
            TkvPageOptionsDialog options(*page, options_.UnlimitedHeight, this);
            confirmed = options.exec() == QDialog::Accepted;
            if (confirmed) options.Apply(*page, options_.UnlimitedHeight);
        }
        if (!confirmed) {
            page_ = nullptr;
            report_.Pages.Delete(index);
            SetCurPage(previous);
            return;
        }
    }
    SetModified(true);
    SetCurPage(index);
}

void TkvDesignerForm::RemovePageCommand(bool ask) {
    if (!TemplateMode() || (Restrictions() & kvdr::RemovePage) || report_.PageCount() < 2) return;
    if (ask && QMessageBox::question(this, Text(55006), Text(55005), QMessageBox::Yes | QMessageBox::No) !=
                   QMessageBox::Yes)
        return;
    const int removed = curPageIndex_;
    page_ = nullptr;
    report_.Pages.Delete(removed);
    // Sub-reports printing the page go with it; those of later pages follow the renumbering.
    for (const auto& p : report_.Pages) {
        auto& objects = p->Objects;
        objects.erase(std::remove_if(objects.begin(), objects.end(),
                                     [removed](const std::unique_ptr<TkvView>& v) {
                                         return v->ObjectType == kvvt::SubReport &&
                                                static_cast<TkvSubReportView&>(*v).SubPageIndex == removed;
                                     }),
                      objects.end());
        for (const auto& v : objects)
            if (v->ObjectType == kvvt::SubReport && static_cast<TkvSubReportView&>(*v).SubPageIndex > removed)
                --static_cast<TkvSubReportView&>(*v).SubPageIndex;
    }
    history_.Clear();
    SetModified(true);
    SetCurPage(0);
}

void TkvDesignerForm::PageOptionsCommand() {
    if (!page_ || !TemplateMode() || page_->PageType != kvpt::Report) return;
    TkvPageOptionsDialog dialog(*page_, options_.UnlimitedHeight, this);
    if (dialog.exec() != QDialog::Accepted || (Restrictions() & kvdr::PageOptions)) return;
    dialog.Apply(*page_, options_.UnlimitedHeight);
    SetModified(true);
    Relayout();
    surface_->update();
}

void TkvDesignerForm::PreviewCommand() {
    if (!TemplateMode() || (Restrictions() & kvdr::Preview)) return;
    const auto& preview = kv::Library().DesignerPreview;
    if (!preview) {
        QMessageBox::information(this, Text(55206), QStringLiteral("This program cannot build reports."));
        return;
    }
    // The report is built from a copy, so that building never touches the pages being edited.
    auto copy = std::make_unique<TkvReport>();
    {
        const TkvCurrentObjectsScope scope;
        const QByteArray bytes = report_.SaveToMemory();
        copy->LoadFromMemory(bytes);
    }
    copy->Dataset = report_.Dataset;
    copy->Title = report_.Title;
    copy->TemplateFileName = report_.TemplateFileName;
    previewReport_ = std::move(copy);
    {
        const TkvCurrentObjectsScope scope;
        preview(*previewReport_);
    }
    ActivateContext();
    surface_->update();
}

// ---------------------------------------------------------------- editors and menus

void TkvDesignerForm::OpenEditor(TkvView* view) {
    if (!view || (Restrictions() & kvdr::ObjectEditors) || (view->Restrictions & kvvr::DontEditContents)) return;
    ActivateContext();
    if (view->ObjectType == kvvt::SubReport) {
        SetCurPage(static_cast<TkvSubReportView*>(view)->SubPageIndex);
        return;
    }
    const TkvLibraryContext& lib = kv::Library();
    if (IsBand(*view)) {
        auto& band = static_cast<TkvBandView&>(*view);
        if (lib.Editors.BandDataSource) {
            BeforeChange();
            lib.Editors.BandDataSource(view);
            AfterChange();
            return;
        }
        TkvLineDialog dialog(QString::fromUtf8(kv::BandTypeName(band.BandType())), QStringLiteral("Data source"),
                             QString::fromUtf8(band.DataSource()), this);
        if (dialog.exec() == QDialog::Accepted) SetBandDataSource(band, dialog.Text().toUtf8());
        return;
    }
    if (IsTextView(*view) && !lib.Editors.Memo) {
        TkvLinesDialog dialog(QString::fromUtf8(view->Name), kv::DecodeText(kv::JoinLines(view->Memo), kv::DefaultCharset),
                              this);
        if (dialog.exec() != QDialog::Accepted) return;
        const std::vector<TkvView*> kept = SelectedViews();
        for (TkvView* v : kept) v->Selected = 0;
        view->Selected = 1;
        AddUndoStep(TkvUndoKind::Modify);
        view->Memo = kv::SplitLines(kv::EncodeText(dialog.Text(), kv::DefaultCharset));
        AfterChange();
        return;
    }
    const std::vector<TkvView*> kept = SelectedViews();
    for (TkvView* v : kept) v->Selected = 0;
    view->Selected = 1;
    AddUndoStep(TkvUndoKind::Modify);
    view->ShowEditor();
    AfterChange();
}

void TkvDesignerForm::ShowContextMenu(QPoint globalPos) {
    UpdateCommands();
    QMenu menu(this);
    menu.setObjectName("designerPopup");
    const std::pair<const char*, int> items[] = {{"acCut", 53148}, {"acCopy", 53149}, {"acPaste", 53150},
                                                 {"acDelete", 53151}, {"acSelectAll", 53152}, {"acEdit", 53153}};
    for (const auto& [name, id] : items) {
        QAction* source = actions_[name];
        QAction* a = menu.addAction(Text(id), source, &QAction::trigger);
        a->setEnabled(source->isEnabled());
        if (QByteArray(name) == "acDelete") a->setShortcut(QKeySequence(Qt::Key_Delete));
    }
    menu.exec(globalPos);
}
