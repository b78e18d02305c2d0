// Windows of controls: superclassing (class style, region clipping), window
// re-creation, bounds kept in step with the window, alignment and anchors,
// z order, the border, painting of windowless children by their parent.
#include "TestControls.h"

using namespace ctltest;

namespace {

TEST(ControlWindow, ASuperclassedWindowHasOurProcedureAndNoParentDC) {
    FormPtr form = MakeForm();
    auto* button = TObject::Create<TTestButton>(form.get());
    button->SetParent(form.get());
    HWND wnd = button->Handle();
    WNDCLASSA system{};
    ASSERT_TRUE(GetClassInfoA(nullptr, "BUTTON", &system));
    // The system procedure is kept as the default one; the class's is ours.
    EXPECT_EQ(button->DefWndProc(), system.lpfnWndProc);
    WNDCLASSA ours{};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "TTestButton", &ours));
    EXPECT_NE(ours.lpfnWndProc, system.lpfnWndProc);
    EXPECT_EQ(ours.style & (CS_PARENTDC | CS_OWNDC | CS_CLASSDC | CS_GLOBALCLASS), 0u);
    auto classStyle = static_cast<UINT>(GetClassLongPtrA(wnd, GCL_STYLE));
    EXPECT_EQ(classStyle & CS_PARENTDC, 0u);
    EXPECT_EQ(ours.cbWndExtra, system.cbWndExtra);
    // The system button works as such: it answers its own messages.
    SendMessageA(wnd, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(GetWindowLongA(wnd, GWL_STYLE) & 0xF, BS_PUSHBUTTON);
}

TEST(ControlWindow, AWindowRegionClipsASuperclassedButton) {
    FormPtr form = MakeForm(60, 60, 300, 200);
    form->SetColor(clBlue);
    auto* button = TObject::Create<TTestButton>(form.get());
    button->SetParent(form.get());
    button->SetBounds(20, 20, 120, 60);
    form->Show();
    Pump();
    HWND wnd = button->Handle();
    // Only the left half of the button stays.
    SetWindowRgn(wnd, CreateRectRgn(0, 0, 60, 60), TRUE);
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    std::uint32_t blue = RGBOfColor(clBlue);
    testsupport::Picture pic = testsupport::CaptureClient(form->Handle());
    EXPECT_NE(pic.Pixel(20 + 30, 20 + 30), blue);   // inside the region: the button
    EXPECT_EQ(pic.Pixel(20 + 100, 20 + 30), blue);  // cut away: the form shows through
}

TEST(ControlWindow, RecreateWndKeepsTextBoundsAndChildren) {
    FormPtr form = MakeForm();
    auto* outer = TObject::Create<TLogWin>(form.get());
    outer->SetParent(form.get());
    outer->SetBounds(10, 12, 150, 90);
    outer->SetCaption("kept");
    auto* inner = TObject::Create<TLogWin>(form.get());
    inner->SetParent(outer);
    inner->SetBounds(5, 6, 40, 30);
    inner->SetCaption("inner");
    form->Show();
    HWND oldOuter = outer->Handle();
    HWND oldInner = inner->Handle();
    inner->SetFocus();
    EXPECT_EQ(GetFocus(), oldInner);
    inner->RecreateWnd();
    HWND newInner = inner->Handle();
    EXPECT_NE(newInner, oldInner);
    EXPECT_FALSE(IsWindow(oldInner));
    EXPECT_EQ(GetFocus(), newInner);

    outer->RecreateWnd();
    HWND newOuter = outer->Handle();
    EXPECT_NE(newOuter, oldOuter);
    EXPECT_FALSE(IsWindow(oldOuter));
    EXPECT_EQ(outer->Caption(), "kept");
    EXPECT_EQ(inner->Caption(), "inner");
    EXPECT_TRUE(inner->HandleAllocated());
    EXPECT_EQ(GetParent(inner->Handle()), newOuter);
    RECT r;
    GetWindowRect(newOuter, &r);
    MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 12);
    EXPECT_EQ(r.right - r.left, 150);
    EXPECT_TRUE(IsWindowVisible(newOuter));
    EXPECT_TRUE(IsWindowVisible(inner->Handle()));
}

TEST(ControlWindow, BoundsFollowTheWindowAndTheWindowFollowsTheBounds) {
    FormPtr form = MakeForm();
    auto* c = TObject::Create<TLogWin>(form.get());
    c->SetParent(form.get());
    c->SetBounds(5, 6, 70, 30);
    HWND wnd = c->Handle();
    RECT r;
    GetWindowRect(wnd, &r);
    EXPECT_EQ(r.right - r.left, 70);
    // Moved by someone else: the properties follow.
    SetWindowPos(wnd, nullptr, 33, 44, 55, 22, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(c->Left(), 33);
    EXPECT_EQ(c->Top(), 44);
    EXPECT_EQ(c->Width(), 55);
    EXPECT_EQ(c->Height(), 22);
    int resized = 0;
    c->OnResize = [&](TObject*) { ++resized; };
    c->SetWidth(90);
    EXPECT_EQ(resized, 1);
    c->SetLeft(1);
    EXPECT_EQ(resized, 1);
    // Constraints bound the size.
    c->Constraints()->SetMaxWidth(50);
    EXPECT_EQ(c->Width(), 50);
    c->SetWidth(200);
    EXPECT_EQ(c->Width(), 50);
    // The client area is the window's inside the border.
    c->SetBorderWidth(4);
    EXPECT_EQ(c->ClientWidth(), 50 - 8);
    EXPECT_EQ(c->ClientHeight(), 22 - 8);
    TPoint origin = c->ClientOrigin();
    POINT p{0, 0};
    ClientToScreen(wnd, &p);
    EXPECT_EQ(origin.x, p.x);
    EXPECT_EQ(c->ScreenToClient(origin).x, 0);
}

TEST(ControlWindow, AlignedChildrenShareTheClientArea) {
    FormPtr form = MakeForm();
    auto* panel = TObject::Create<TLogWin>(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 200, 100);
    auto make = [&](TAlign align, int w, int h) {
        auto* c = TObject::Create<TLogWin>(form.get());
        c->SetBounds(0, 0, w, h);
        c->SetAlign(align);
        c->SetParent(panel);
        return c;
    };
    TLogWin* top = make(alTop, 10, 20);
    TLogWin* bottom = make(alBottom, 10, 10);
    TLogWin* left = make(alLeft, 30, 10);
    TLogWin* right = make(alRight, 25, 10);
    TLogWin* client = make(alClient, 10, 10);
    // A new control goes after those above its own Top.
    auto* g = TObject::Create<TLogGraphic>(form.get());
    g->SetBounds(0, 50, 10, 5);
    g->SetAlign(alTop);
    g->SetParent(panel);
    EXPECT_EQ(top->BoundsRect().top, 0);
    EXPECT_EQ(top->Width(), 200);
    EXPECT_EQ(g->Top(), 20);
    EXPECT_EQ(g->Width(), 200);
    EXPECT_EQ(bottom->Top(), 90);
    EXPECT_EQ(left->Left(), 0);
    EXPECT_EQ(left->Top(), 25);
    EXPECT_EQ(left->Height(), 65);
    EXPECT_EQ(right->Left(), 175);
    EXPECT_EQ(client->Left(), 30);
    EXPECT_EQ(client->Width(), 145);
    EXPECT_EQ(client->Height(), 65);
    // A resized parent aligns again, with windows or without.
    panel->HandleNeeded();
    panel->SetBounds(0, 0, 300, 150);
    EXPECT_EQ(top->Width(), 300);
    EXPECT_EQ(bottom->Top(), 140);
    EXPECT_EQ(client->Width(), 245);
    RECT r;
    GetWindowRect(client->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 245);
    // Hiding an aligned child gives its room to the others.
    top->SetVisible(false);
    EXPECT_EQ(g->Top(), 0);
    // While alignment is held off nothing moves; afterwards it catches up.
    panel->DisableAlign();
    panel->SetBounds(0, 0, 100, 150);
    EXPECT_EQ(client->Width(), 245);
    EXPECT_TRUE(panel->ControlState().Contains(csAlignmentNeeded));
    panel->EnableAlign();
    EXPECT_EQ(client->Width(), 45);
}

TEST(ControlWindow, AnchoredChildrenKeepTheirDistanceToTheRight) {
    FormPtr form = MakeForm();
    auto* panel = TObject::Create<TLogWin>(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 200, 100);
    auto* c = TObject::Create<TLogWin>(form.get());
    c->SetParent(panel);
    c->SetBounds(150, 70, 40, 20);
    c->SetAnchors(TAnchors{akRight, akBottom});
    auto* stretch = TObject::Create<TLogWin>(form.get());
    stretch->SetParent(panel);
    stretch->SetBounds(10, 10, 180, 20);
    stretch->SetAnchors(TAnchors{akLeft, akTop, akRight});
    panel->SetBounds(0, 0, 260, 140);
    EXPECT_EQ(c->Left(), 210);
    EXPECT_EQ(c->Top(), 110);
    EXPECT_EQ(stretch->Width(), 240);
    EXPECT_EQ(stretch->Left(), 10);
}

TEST(ControlWindow, ZOrderFollowsTheControlList) {
    FormPtr form = MakeForm();
    auto* a = TObject::Create<TLogWin>(form.get());
    a->SetParent(form.get());
    auto* b = TObject::Create<TLogWin>(form.get());
    b->SetParent(form.get());
    form->HandleNeeded();
    EXPECT_EQ(form->Controls(0), a);
    EXPECT_EQ(form->Controls(1), b);
    // The topmost window is the last in the list.
    EXPECT_EQ(GetWindow(form->Handle(), GW_CHILD), b->Handle());
    a->BringToFront();
    EXPECT_EQ(form->Controls(1), a);
    EXPECT_EQ(GetWindow(form->Handle(), GW_CHILD), a->Handle());
    a->SendToBack();
    EXPECT_EQ(form->Controls(0), a);
    EXPECT_EQ(GetWindow(form->Handle(), GW_CHILD), b->Handle());
    auto* g1 = TObject::Create<TLogGraphic>(form.get());
    g1->SetParent(form.get());
    auto* g2 = TObject::Create<TLogGraphic>(form.get());
    g2->SetParent(form.get());
    EXPECT_EQ(form->Controls(0), g1);
    g1->BringToFront();
    EXPECT_EQ(form->Controls(1), g1);
    EXPECT_EQ(form->Controls(2), a);
    // Tab order is separate from the z order.
    EXPECT_EQ(a->TabOrder(), 0);
    EXPECT_EQ(b->TabOrder(), 1);
    b->SetTabOrder(0);
    EXPECT_EQ(a->TabOrder(), 1);
}

TEST(ControlWindow, AControlWithoutParentCanLiveInAForeignWindow) {
    FormPtr host = MakeForm();
    HWND hostWnd = host->Handle();
    auto* c = TObject::Create<TLogWin>(nullptr);
    c->SetBounds(3, 4, 50, 20);
    c->SetParentWindow(hostWnd);
    EXPECT_TRUE(c->HandleAllocated());
    EXPECT_EQ(GetParent(c->Handle()), hostWnd);
    EXPECT_TRUE(c->Showing());
    c->Free();
}

TEST(ControlPaint, WindowlessChildrenArePaintedByTheirParentAtTheirPlace) {
    FormPtr form = MakeForm(50, 50, 320, 240);
    form->SetColor(clWhite);
    auto* panel = TObject::Create<TLogWin>(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(10, 10, 200, 150);
    panel->PaintColor = clBlue;
    auto* g = TObject::Create<TLogGraphic>(form.get());
    g->SetParent(panel);
    g->SetBounds(20, 30, 40, 25);
    g->PaintColor = clLime;
    g->Overpaint = true;  // the parent's clipping keeps the paint inside
    auto* hidden = TObject::Create<TLogGraphic>(form.get());
    hidden->SetParent(panel);
    hidden->SetBounds(100, 30, 40, 25);
    hidden->PaintColor = clRed;
    hidden->SetVisible(false);
    form->Show();
    panel->Repaint();
    Pump();
    testsupport::Picture pic = testsupport::CaptureClient(panel->Handle());
    EXPECT_EQ(pic.Pixel(25, 35), RGBOfColor(clLime));
    EXPECT_EQ(pic.Pixel(59, 54), RGBOfColor(clLime));
    EXPECT_EQ(pic.Pixel(60, 35), RGBOfColor(clBlue));
    EXPECT_EQ(pic.Pixel(25, 56), RGBOfColor(clBlue));
    EXPECT_EQ(pic.Pixel(5, 5), RGBOfColor(clBlue));
    EXPECT_EQ(pic.Pixel(110, 40), RGBOfColor(clBlue));  // invisible: not painted
    // The paint came as WM_PAINT with the parent's DC, not through a window.
    const TMessage* paint = g->Log.Find(WM_PAINT);
    ASSERT_NE(paint, nullptr);
    EXPECT_NE(paint->WParam, 0u);

    // Shown, moved and recoloured, the children are painted again.
    hidden->SetVisible(true);
    g->SetLeft(120);
    g->PaintColor = clYellow;
    g->Invalidate();
    Pump();
    pic = testsupport::CaptureClient(panel->Handle());
    EXPECT_EQ(pic.Pixel(110, 40), RGBOfColor(clRed));
    EXPECT_EQ(pic.Pixel(25, 35), RGBOfColor(clBlue));
    EXPECT_EQ(pic.Pixel(150, 35), RGBOfColor(clYellow));
    // WM_PRINT paints the same into a memory DC.
    testsupport::Picture printed = testsupport::PrintWindowClient(panel->Handle(), PRF_CLIENT);
    EXPECT_EQ(printed.Pixel(150, 35), RGBOfColor(clYellow));
    EXPECT_EQ(printed.Pixel(5, 5), RGBOfColor(clBlue));
}

TEST(ControlPaint, AWindowWithoutPaintingChildrenUsesItsOwnProcedure) {
    FormPtr form = MakeForm(50, 50, 320, 240);
    auto* plain = TObject::Create<TWinControl>(form.get());
    plain->SetParent(form.get());
    plain->SetBounds(10, 10, 100, 60);
    plain->SetColor(clFuchsia);
    form->Show();
    Pump();
    // Erased with the control's colour by our handler; nothing else drawn.
    EXPECT_EQ(ClientPixel(plain->Handle(), 50, 30), RGBOfColor(clFuchsia));
}

TEST(ControlPaint, TheControlCanvasDrawsOutsidePainting) {
    FormPtr form = MakeForm(50, 50, 320, 240);
    form->SetColor(clWhite);
    auto* panel = TObject::Create<TLogWin>(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(10, 10, 200, 150);
    panel->PaintColor = clWhite;
    auto* g = TObject::Create<TLogGraphic>(form.get());
    g->SetParent(panel);
    g->SetBounds(50, 40, 30, 20);
    g->PaintColor = clWhite;
    form->Show();
    Pump();
    panel->Canvas()->Brush()->SetColor(clRed);
    panel->Canvas()->FillRect(TRect{0, 0, 10, 10});
    // A windowless control's canvas starts at its corner and is clipped to it.
    g->Canvas()->Brush()->SetColor(clBlue);
    g->Canvas()->FillRect(TRect{-20, -20, 100, 100});
    FreeDeviceContexts();
    testsupport::Picture pic = testsupport::CaptureClient(panel->Handle());
    EXPECT_EQ(pic.Pixel(5, 5), RGBOfColor(clRed));
    EXPECT_EQ(pic.Pixel(55, 45), RGBOfColor(clBlue));
    EXPECT_EQ(pic.Pixel(45, 45), RGBOfColor(clWhite));
    EXPECT_EQ(pic.Pixel(85, 45), RGBOfColor(clWhite));
}

}  // namespace
