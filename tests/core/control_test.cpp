// Dialog controls: the bases add-in controls derive from. Defaults, their short property lists,
// forwarding to the wrapped control and component, the record (common part only, as an add-in
// entry), unique names against the dialog form, and the pictures they draw.
#include "band_control_support.h"

#include "core/views/control.h"
#include "core/views/non_visual_control.h"
#include "core/views/view_factory.h"

#include <QObject>
#include <gtest/gtest.h>

using namespace kvtest;

namespace {

class FakeControl : public TkvControlHandle {
public:
    void SetVisible(bool v) override { visible = v; }
    void SetBounds(int l, int t, int w, int h) override { bounds = QRect(l, t, w, h); }
    void SetParentForm(QObject* f) override { form = f; }
    QImage Render() override {
        QImage img(bounds.width(), bounds.height(), QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::red);
        return img;
    }
    bool visible = true;
    QRect bounds;
    QObject* form = nullptr;
};

class FakeComponent : public TkvComponentHandle {
public:
    void SetComponentName(const QByteArray& n) override { name = n; }
    QByteArray name;
};

// An add-in control as a plug-in would write one: it owns the control it wraps.
class TestButton : public TkvControl {
public:
    TestButton() {
        NamePrefix = "Button";
        Control = &button;
    }
    const char* ClassName() const override { return "TkvTestButton"; }
    FakeControl button;
};

QList<QByteArray> Names(TkvObject& o) {
    QList<QByteArray> out;
    for (const auto& p : o.PropertyTable)
        out.append(p->PropName);
    return out;
}

TEST(DialogControl, ConstructorValues) {
    TkvControl c;
    EXPECT_EQ(c.ObjectType, kvvt::AddIn);
    EXPECT_EQ(c.FillColor, 0x8000000Fu);
    EXPECT_EQ(c.FrameTyp, 0);
    EXPECT_EQ(c.Flags, 1);
    EXPECT_TRUE(c.IsDialogControl());
    EXPECT_EQ(c.Control, nullptr);

    TkvNonVisualControl n;
    EXPECT_EQ(n.Width, 28);
    EXPECT_EQ(n.Height, 28);
    EXPECT_TRUE(n.IsDialogControl());
    EXPECT_FALSE(n.ComponentIcon.isNull());
    EXPECT_TRUE(n.PendingReferences.isEmpty());
}

TEST(DialogControl, PropertyListsAreShort) {
    TkvControl c;
    c.RegisterProperties();
    EXPECT_EQ(Names(c),
              (QList<QByteArray>{"Name", "Left", "Top", "Width", "Height", "Visible", "Restrictions"}));
    EXPECT_EQ(c.FindProperty("Name")->PropKind, 0x0101);
    EXPECT_EQ(c.FindProperty("Width")->PropKind, 0x0080);
    EXPECT_EQ(c.FindProperty("Visible")->PropKind, 0x0008);
    EXPECT_EQ(c.FindProperty("Restrictions")->PropKind, 0x0040);

    TkvNonVisualControl n;
    n.RegisterProperties();
    EXPECT_EQ(Names(n), (QList<QByteArray>{"Name", "Restrictions"}));
}

TEST(DialogControl, VisibleAndNameReachTheControlAndComponent) {
    TestButton b;
    b.SetProperty("visible", false);
    EXPECT_FALSE(b.button.visible);
    EXPECT_EQ(b.Visible, 0);
    b.SetProperty("Visible", true);
    EXPECT_TRUE(b.button.visible);

    TkvControl bare; // no control: only the view changes
    bare.SetProperty("VISIBLE", false);
    EXPECT_EQ(bare.Visible, 0);

    TkvNonVisualControl n;
    FakeComponent comp;
    n.SetProperty("Name", "Query1"); // no component yet
    n.Component = &comp;
    n.SetProperty("name", "Query2");
    EXPECT_EQ(n.Name, "Query2");
    EXPECT_EQ(comp.name, "Query2");
    // The base properties still work by name.
    n.SetProperty("Left", 40);
    EXPECT_EQ(n.Property("LEFT").toInt(), 40);
}

TEST(DialogControl, RecordIsTheCommonRecordAsAnAddInEntry) {
    GlobalsGuard guard;
    kv::RegisterAddInObject("TkvTestButton", [] { return std::make_unique<TestButton>(); });
    TestButton a;
    a.Name = "Button3";
    a.SetBounds(12, 24, 75, 25);
    a.Memo = {"OK"};
    a.Restrictions = 0x20;
    TkvMemoryStream s;
    kv::WriteObjectEntry(s, a);

    // Nothing follows the common record.
    TkvControl plain;
    plain.Name = a.Name;
    plain.SetBounds(12, 24, 75, 25);
    plain.Memo = {"OK"};
    plain.Restrictions = 0x20;
    TkvMemoryStream common;
    plain.SaveToStream(common);
    EXPECT_TRUE(s.Data().endsWith(common.Data()));

    s.Seek(0);
    auto v = kv::ReadObjectEntry(s, false);
    EXPECT_EQ(s.Position(), s.Size());
    auto* b = dynamic_cast<TestButton*>(v.get());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->ObjectType, kvvt::AddIn);
    EXPECT_EQ(b->Name, "Button3");
    EXPECT_EQ(QRect(b->Left, b->Top, b->Width, b->Height), QRect(12, 24, 75, 25));
    EXPECT_EQ(b->Memo, (TkvStringList{"OK"}));
    EXPECT_EQ(b->Restrictions, 0x20);

    const QByteArray bytes = s.Data();
    for (qsizetype n = 0; n < bytes.size(); ++n) {
        TkvMemoryStream part(bytes.left(n));
        EXPECT_THROW(kv::ReadObjectEntry(part, false), TkvStreamError) << "prefix " << n;
    }
}

TEST(DialogControl, UniqueNamesAreAlsoFreeOnTheDialogForm) {
    GlobalsGuard guard;
    const TkvSetForScope<std::function<bool(const QByteArray&)>> onForm(
        kv::Library().DialogFormHasComponent,
        [](const QByteArray& n) { return n == "Button1" || n == "Button2"; });
    TestButton b;
    b.CreateUniqueName();
    EXPECT_EQ(b.Name, "Button3");
}

TEST(DialogControl, DrawPaintsTheControlPictureOnButtonFace) {
    GlobalsGuard guard;
    kv::DocumentMode() = 1;
    NoteCanvas c;
    TestButton b;
    b.SetBounds(10, 20, 40, 16);
    b.ZoomX = b.ZoomY = 2.0;
    b.OriginX = 5;
    b.OriginY = 7;
    b.Draw(c);
    EXPECT_EQ(b.button.bounds, QRect(0, 0, 40, 16)) << "the control keeps its unscaled size";
    ASSERT_EQ(c.images.size(), 1u);
    EXPECT_EQ(c.images[0].target, QRect(25, 47, 81, 33)) << "scaled size + 1 at the scaled top-left";
    const QImage& pic = c.images[0].image;
    EXPECT_EQ(QColor(pic.pixel(0, 0)), QColor(Qt::red));
    EXPECT_EQ(QColor(pic.pixel(39, 15)), QColor(Qt::red));
    EXPECT_NE(QColor(pic.pixel(40, 16)), QColor(Qt::red)) << "outside the natural size: button face";
    EXPECT_TRUE(c.fills.empty()) << "no background";
    EXPECT_TRUE(c.lines.empty()) << "no frame";
    EXPECT_EQ(b.Left, 10) << "geometry restored";

    QObject form;
    b.PlaceOnForm(&form);
    EXPECT_EQ(b.button.form, &form);
    EXPECT_EQ(b.button.bounds, QRect(10, 20, 40, 16));
}

TEST(DialogControl, NonVisualControlIsDrawnTwentyEightSquare) {
    GlobalsGuard guard;
    NoteCanvas c;
    TkvNonVisualControl n;
    n.SetBounds(100, 50, 90, 70);
    n.Draw(c);
    EXPECT_EQ(n.Width, 28);
    EXPECT_EQ(n.Height, 28);
    ASSERT_EQ(c.fills.size(), 1u);
    EXPECT_EQ(c.fills[0], QRect(100, 50, 29, 29)) << "designing: the inner rectangle";
    ASSERT_EQ(c.images.size(), 1u);
    EXPECT_EQ(c.images[0].target.topLeft(), QPoint(102, 52));
    EXPECT_EQ(c.lines.size(), 8u) << "two raised rings of four lines";
}

} // namespace
