#include "sSkinProvider.h"

#include "Scopes.h"
#include "acSBUtils.h"
#include "sSkinProviderAdapter.h"
#include "sAlphaGraph.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinMenus.h"

#include <commctrl.h>

#include <algorithm>

// clang-format off
CLASSLIB_DEFINE_CLASS(TsTitleButton, TCollectionItem,
    StrProp<TsTitleButton>("Name", &TsTitleButton::Name, &TsTitleButton::SetName),
    OrdField<TsTitleButton, bool>("UseSkinData", TTypeKind::tkBool, &TsTitleButton::UseSkinData, 1),
    OrdField<TsTitleButton, bool>("Enabled", TTypeKind::tkBool, &TsTitleButton::Enabled, 1),
    ObjProp<TsTitleButton, TBitmap>("Glyph", &TsTitleButton::Glyph, &TsTitleButton::SetGlyph),
    MethodField<TsTitleButton, TMouseEvent>("OnMouseUp", &TsTitleButton::OnMouseUp),
    MethodField<TsTitleButton, TMouseEvent>("OnMouseDown", &TsTitleButton::OnMouseDown))
// clang-format on
CLASSLIB_DEFINE_CLASS(TsTitleButtons, TOwnedCollection)
// clang-format off
CLASSLIB_DEFINE_CLASS(TsTitleIcon, TPersistent,
    ObjProp<TsTitleIcon, TBitmap>("Glyph", &TsTitleIcon::Glyph, &TsTitleIcon::SetGlyph),
    OrdField<TsTitleIcon, int>("Height", TTypeKind::tkInteger, &TsTitleIcon::Height, 0),
    OrdField<TsTitleIcon, int>("Width", TTypeKind::tkInteger, &TsTitleIcon::Width, 0))
// clang-format on
CLASSLIB_DEFINE_CLASS(TsSystemMenu, TacWindowMenu)
CLASSLIB_DEFINE_CLASS(TsMDIForm, TObject)
// clang-format off
CLASSLIB_DEFINE_CLASS(TsSkinProvider, TComponent,
    OrdField<TsSkinProvider, bool>("MakeSkinMenu", TTypeKind::tkBool, &TsSkinProvider::MakeSkinMenu, 0),
    OrdProp<TsSkinProvider>("ShowAppIcon", TTypeKind::tkBool, &TsSkinProvider::ShowAppIcon,
                            &TsSkinProvider::SetShowAppIcon, 1),
    OrdProp<TsSkinProvider>("CaptionAlignment", TTypeKind::tkEnumeration, &TsSkinProvider::CaptionAlignment,
                            &TsSkinProvider::SetCaptionAlignment, taLeftJustify),
    ObjProp<TsSkinProvider, TsTitleIcon>("TitleIcon", &TsSkinProvider::TitleIcon),
    ObjProp<TsSkinProvider, TsTitleButtons>("TitleButtons", &TsSkinProvider::TitleButtons,
                                            &TsSkinProvider::SetTitleButtons),
    OrdField<TsSkinProvider, TsGripMode>("GripMode", TTypeKind::tkEnumeration, &TsSkinProvider::GripMode, gmNone),
    ObjProp<TsSkinProvider, TsCommonData>("SkinData", &TsSkinProvider::SkinData),
    OrdField<TsSkinProvider, TsResizeMode>("ResizeMode", TTypeKind::tkEnumeration, &TsSkinProvider::ResizeMode,
                                           rmStandard),
    OrdField<TsSkinProvider, bool>("ScreenSnap", TTypeKind::tkBool, &TsSkinProvider::ScreenSnap, 0),
    OrdField<TsSkinProvider, int>("SnapBuffer", TTypeKind::tkInteger, &TsSkinProvider::SnapBuffer, 10),
    OrdProp<TsSkinProvider>("UseGlobalColor", TTypeKind::tkBool, &TsSkinProvider::UseGlobalColor,
                            &TsSkinProvider::SetUseGlobalColor, 1),
    StrProp<TsSkinProvider>("TitleSkin", &TsSkinProvider::TitleSkin, &TsSkinProvider::SetTitleSkin),
    StrProp<TsSkinProvider>("MenuLineSkin", &TsSkinProvider::MenuLineSkin, &TsSkinProvider::SetMenuLineSkin),
    MethodField<TsSkinProvider, TAddItemEvent>("OnSkinItem", &TsSkinProvider::OnSkinItem))
// clang-format on

TsSkinProvider* MDISkinProvider = nullptr;
TsSkinProvider* ActiveChildProvider = nullptr;

std::function<int()> TsSkinProvider::SystemMajorVersion = [] {
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&vi);
#pragma GCC diagnostic pop
    return int(vi.dwMajorVersion);
};

namespace {

bool Designing(const TComponent* C) { return C && C->ComponentState().Contains(csDesigning); }
bool Loading(const TComponent* C) { return C && C->ComponentState().Contains(csLoading); }
bool Dying(const TComponent* C) { return !C || C->ComponentState().Contains(csDestroying); }

// The room a form's skinned bar takes in the frame; 0 when not shown.
int BarRoom(const TacScrollWnd* A, bool Horz) {
    if (!A || A->Destroyed) return 0;
    TacScrollBar* bar = Horz ? A->HorzBar : A->VertBar;
    return bar->Visible ? ScrollBarMetric(bar, 1, false) : 0;
}

// The provider answers the menu painter with its menu-line picture.
TacMenuLinePicture MenuLineOf(TCustomForm* Form) {
    TsSkinProvider* p = ProviderOf(Form);
    if (!p || !p->MenuLineBmp || p->MenuLineBmp->Width() == 0) return {};
    return TacMenuLinePicture{p->MenuLineBmp, TPoint{0, p->CaptionHeight() + p->SysBorderHeight()}};
}

}  // namespace

TsSkinProvider* ProviderOf(TCustomForm* Form) {
    if (!Form || !Form->HandleAllocated()) return nullptr;
    return reinterpret_cast<TsSkinProvider*>(Form->Perform(SM_ALPHACMD, acCommandWParam(AC_GETPROVIDER), 0));
}

// ---------------------------------------------------------------------------
// Title buttons and icon

TsTitleButton::TsTitleButton(TCollection* Collection) : TCollectionItem(Collection), FGlyph(new TBitmap) {
    if (FName.empty()) FName = "TsTitleButton";
}

TsTitleButton::~TsTitleButton() { delete FGlyph; }

void TsTitleButton::Assign(TPersistent* Source) {
    auto* b = dynamic_cast<TsTitleButton*>(Source);
    if (!b) return TCollectionItem::Assign(Source);
    FName = b->FName;
    UseSkinData = b->UseSkinData;
    Enabled = b->Enabled;
    SetGlyph(b->Glyph());
    OnMouseUp = b->OnMouseUp;
    OnMouseDown = b->OnMouseDown;
}

void TsTitleButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TsTitleButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

TsTitleButtons::TsTitleButtons(TsSkinProvider* AProvider)
    : TOwnedCollection(AProvider, CollectionItemClass<TsTitleButton>()), FProvider(AProvider) {}

TsTitleButtons::~TsTitleButtons() {
    FProvider = nullptr;
    Clear();
}

TsTitleIcon::TsTitleIcon() : FGlyph(new TBitmap) {}
TsTitleIcon::~TsTitleIcon() { delete FGlyph; }

// ---------------------------------------------------------------------------
// The system menu

TsSystemMenu::TsSystemMenu(TsSkinProvider* AProvider) : TacWindowMenu(AProvider), Provider(AProvider) {}

TMenuItem* TsSystemMenu::CreateItem(const String& Caption, const String& Name, TNotifyEvent OnClick) {
    auto* item = TObject::Create<TMenuItem>(this);
    item->SetCaption(Caption);
    if (!Name.empty()) item->SetName(Name);
    item->OnClick = std::move(OnClick);
    return item;
}

bool TsSystemMenu::Iconic() const { return Form && Form->HandleAllocated() && IsIconic(Form->Handle()); }
bool TsSystemMenu::IsMDIChild() const { return Form && Form->FormStyle() == fsMDIChild; }

namespace {
bool OneOf(TFormBorderStyle S, std::initializer_list<TFormBorderStyle> L) {
    return std::find(L.begin(), L.end(), S) != L.end();
}
}  // namespace

bool TsSystemMenu::VisibleRestore() const {
    if (!Form || !Form->BorderIcons().Contains(biSystemMenu)) return false;
    return IsMDIChild() || !OneOf(Form->BorderStyle(), {bsDialog, bsNone, bsToolWindow, bsSizeToolWin});
}
bool TsSystemMenu::VisibleSize() const {
    if (!Form) return false;
    return IsMDIChild() || !OneOf(Form->BorderStyle(), {bsDialog, bsNone, bsToolWindow});
}
bool TsSystemMenu::VisibleMin() const {
    if (!Form || !Form->BorderIcons().Contains(biSystemMenu)) return false;
    return Iconic() || IsMDIChild() ||
           (!OneOf(Form->BorderStyle(), {bsDialog, bsNone, bsToolWindow, bsSizeToolWin}) &&
            Form->BorderIcons().Contains(biMinimize));
}
bool TsSystemMenu::VisibleMax() const {
    if (!Form || !Form->BorderIcons().Contains(biSystemMenu)) return false;
    return Iconic() || IsMDIChild() ||
           (!OneOf(Form->BorderStyle(), {bsDialog, bsNone, bsToolWindow, bsSizeToolWin}) &&
            Form->BorderIcons().Contains(biMaximize));
}
bool TsSystemMenu::VisibleClose() const { return Form && Form->BorderIcons().Contains(biSystemMenu); }

bool TsSystemMenu::EnabledRestore() const {
    if (!Form) return false;
    const TWindowState ws = Form->WindowState();
    return (Form->BorderIcons().Contains(biMaximize) && ws != wsNormal) || ws == wsMinimized;
}
bool TsSystemMenu::EnabledMove() const { return Form && Form->WindowState() != wsMaximized; }
bool TsSystemMenu::EnabledSize() const { return Form && Form->BorderStyle() != bsSingle && !Iconic(); }
bool TsSystemMenu::EnabledMin() const {
    return Form && Form->BorderIcons().Contains(biMinimize) && Form->WindowState() != wsMinimized;
}
bool TsSystemMenu::EnabledMax() const {
    if (!Form || !Form->BorderIcons().Contains(biMaximize)) return false;
    if (IsMDIChild()) return true;
    return Form->WindowState() != wsMaximized && OneOf(Form->BorderStyle(), {bsSingle, bsSizeable});
}

void TsSystemMenu::UpdateItems() {
    if (!Form) return;
    ItemRestore->SetVisible(VisibleRestore());
    ItemMove->SetVisible(true);
    ItemSize->SetVisible(VisibleSize());
    ItemMinimize->SetVisible(VisibleMin());
    ItemMaximize->SetVisible(VisibleMax());
    ItemClose->SetVisible(VisibleClose());
    ItemRestore->SetEnabled(EnabledRestore());
    ItemMove->SetEnabled(EnabledMove());
    ItemSize->SetEnabled(EnabledSize());
    ItemMinimize->SetEnabled(EnabledMin());
    ItemMaximize->SetEnabled(EnabledMax());
    ItemClose->SetEnabled(true);
}

void TsSystemMenu::Command(WPARAM Code) {
    if (Form && Form->HandleAllocated()) SendMessageA(Form->Handle(), WM_SYSCOMMAND, Code, 0);
}

void TsSystemMenu::ItemCommand(WPARAM Code) {
    switch (Code) {
        case SC_RESTORE:
            Command(SC_RESTORE);
            UpdateItems();
            return;
        case SC_MINIMIZE: return MinimizeClick();
        case SC_MAXIMIZE: return MaximizeClick();
        default: return Command(Code);
    }
}

void TsSystemMenu::MinimizeClick() {
    if (Form && Form == Application->MainForm()) {
        Application->Minimize();
        UpdateItems();
    } else {
        Command(SC_MINIMIZE);
    }
}

void TsSystemMenu::MaximizeClick() {
    if (IsMDIChild()) ActiveChildProvider = Provider;
    else if (Form) Form->SetWindowState(wsMaximized);
    Command(SC_MAXIMIZE);
    UpdateItems();
}

void TsSystemMenu::RemoveSkinItems() {
    if (Items()->Count() == 0 || Items()->Items(0)->Name() != "SkinSelectItem") return;
    TMenuItem* list = Items()->Items(0);
    list->Clear();
    Items()->Delete(0);
    list->Free();
    // The separator belongs to the list: without this the menu would gather one per drop.
    if (Items()->Count() > 0 && Items()->Items(0)->IsLine() && Items()->Items(0)->Name() == "SkinSelectLine") {
        TMenuItem* line = Items()->Items(0);
        Items()->Delete(0);
        line->Free();
    }
}

void TsSystemMenu::MakeSkinItems() {
    TsSkinManager* m = Provider && Provider->SkinData() ? Provider->SkinData()->GetSkinManager() : nullptr;
    if (!m) return;
    TStringList names;
    String folder;
    ListAvailableSkins(m, &names, 2, folder);
    if (names.Count() == 0) return;
    TMenuItem* list = CreateItem(acResourceString(acStrAvailSkins), "SkinSelectItem", nullptr);
    Items()->Insert(0, list);
    Items()->Insert(1, CreateItem("-", "SkinSelectLine", nullptr));
    for (int i = 0; i < names.Count(); ++i) {
        TMenuItem* item =
            CreateItem(names[i], "SkinSelectItem" + std::to_string(i), [this](TObject* s) { SelectSkin(s); });
        item->SetRadioItem(true);
        item->SetChecked(names[i] == m->SkinName());
        if (i > 0 && i % 20 == 0) item->SetBreak(mbBreak);
        list->Add(item);
    }
}

void TsSystemMenu::SelectSkin(TObject* Sender) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    TsSkinManager* m = Provider && Provider->SkinData() ? Provider->SkinData()->GetSkinManager() : nullptr;
    if (item && m) m->SetSkinName(RemoveChar(item->Caption(), '&'));
}

// ---------------------------------------------------------------------------
// The provider: life

TsSkinProvider::TsSkinProvider(TComponent* AOwner) : TComponent(AOwner) {
    Form =
        dynamic_cast<TForm*>(AOwner ? (dynamic_cast<TCustomForm*>(AOwner) ? AOwner : FindOwnerForm(AOwner)) : nullptr);
    FSkinData = new TsCommonData(this, true);
    FSkinData->ControlTypeCode = acCtForm;
    FSkinData->SetSkinSection("FORM");
    FSkinData->OwnerControl = Form;
    if (Form && !Form->ControlState().Empty()) FSkinData->Updating = true;
    FTitleIcon = new TsTitleIcon;
    FTitleButtons = new TsTitleButtons(this);
    if (Form)
        for (int i = 0; i < Form->ComponentCount(); ++i)
            if (Form->Components(i) != this && dynamic_cast<TsSkinProvider*>(Form->Components(i))) {
                if (Designing(this)) ShowErrorMessage("Only one instance of the TsSkinProvider component is allowed!");
                Form = nullptr;
                FSkinData->OwnerControl = nullptr;
                break;
            }
    if (Designing(this) || !Form) return;
    MenuLineBmp = NewBitmap24(0, 0).release();
    FMDIHookPending = true;
    FHook.Attach(Form, TWndMethod(this, &TsSkinProvider::NewWndProc));
    AddSkinnedForm(Form);
    FormActive = true;
    if (!acMenuLineSource) acMenuLineSource = &MenuLineOf;
}

void TsSkinProvider::AfterConstruction() {
    TComponent::AfterConstruction();
    TsSkinManager* m = FSkinData->GetSkinManager();
    if (m && m->Active() && !Designing(this)) PrepareForm();
    // A provider made on a form already on the screen takes over its frame at once.
    if (Form && Form->HandleAllocated() && HasSkin(FSkinData)) {
        FrameChanged();
        RgnChanged = true;
        if (IsWindowVisible(Form->Handle()))
            SetWindowPos(Form->Handle(), nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

void TsSkinProvider::Loaded() {
    TComponent::Loaded();
    if (Designing(this) || !HasSkin(FSkinData)) return;
    PrepareForm();
    if (SystemMenu) SystemMenu->UpdateItems();
    if (MDIForm) {
        Application->ProcessMessages();
        MDIForm->ConnectClient();
    }
}

void TsSkinProvider::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (!FSkinData) return;
    if (auto* m = dynamic_cast<TsSkinManager*>(AComponent)) {
        if (Operation == TOperation::opInsert && !FSkinData->SkinManager()) FSkinData->SetSkinManager(m);
        else if (Operation == TOperation::opRemove && FSkinData->SkinManager() == m) FSkinData->SetSkinManager(nullptr);
    }
    if (auto* w = dynamic_cast<TWinControl*>(AComponent);
        w && Operation == TOperation::opInsert && Adapter && Adapter->IsControlSupported(w))
        Adapter->AddNewItem(w);
}

TsSkinProvider::~TsSkinProvider() {
    // An outline on the desktop is erased; the form keeps its place.
    EndOutlineDrag(false);
    delete Adapter;
    Adapter = nullptr;
    // The bars' adapter hooked the form after the provider did: it goes first.
    if (ScrollAdapter) {
        if (Dying(Form)) ReleaseAdapter(ScrollAdapter, false, false);
        delete ScrollAdapter;
        ScrollAdapter = nullptr;
    }
    if (!Designing(this) && Form) {
        RemoveSkinnedForm(Form);
        FHook.Release();
        if (Form->HandleAllocated() && !Dying(Form)) {
            // The system frame comes back: no region, the window-menu style and a frame repaint.
            RemoveSysMenuStyle(false);
            SetWindowRgn(Form->Handle(), nullptr, TRUE);
            SetWindowPos(Form->Handle(), nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
        if (Form->FormStyle() == fsMDIChild && MDISkinProvider && MDISkinProvider != this && !Dying(MDISkinProvider) &&
            MDISkinProvider->Form && !Dying(MDISkinProvider->Form)) {
            MDISkinProvider->FrameChanged();
            MDISkinProvider->FMenuRows = -1;
            if (MDISkinProvider->Form->HandleAllocated())
                SendMessageA(MDISkinProvider->Form->Handle(), WM_NCPAINT, 0, 0);
        }
    }
    // Whichever frame was made last: this provider's client hook goes with it.
    delete MDIForm;
    MDIForm = nullptr;
    FreeCover(CaptionCover);
    FreeCover(MenuCover);
    // The system menu is an owned component: freed with the provider's other components.
    SystemMenu = nullptr;
    delete MenuLineBmp;
    if (ActiveChildProvider == this) ActiveChildProvider = nullptr;
    if (MDISkinProvider == this) MDISkinProvider = nullptr;
    delete FTitleIcon;
    delete FTitleButtons;
    delete FSkinData;
}

void TsSkinProvider::RemoveSysMenuStyle(bool Remove) {
    if (!Form || !Form->HandleAllocated()) return;
    const LONG_PTR style = GetWindowLongPtrA(Form->Handle(), GWL_STYLE);
    if (Remove && (style & WS_SYSMENU)) SetWindowLongPtrA(Form->Handle(), GWL_STYLE, style & ~LONG_PTR(WS_SYSMENU));
    if (!Remove && !(style & WS_SYSMENU) && !Form->BorderIcons().Empty() && Form->BorderIcons().Contains(biSystemMenu))
        SetWindowLongPtrA(Form->Handle(), GWL_STYLE, style | WS_SYSMENU);
}

void TsSkinProvider::PrepareForm() {
    TsSkinManager* m = FSkinData->GetSkinManager();
    if (!m || !Form) return;
    ApplySectionColors(FSkinData);
    if (!SystemMenu) {
        SystemMenu = new TsSystemMenu(this);
        SystemMenu->Form = Form;
        SystemMenu->UpdateItems();
    }
    if (m->Active() && Form->FormStyle() != fsMDIChild) RemoveSysMenuStyle(true);
    if (FMDIHookPending && m->Active()) {
        FMDIHookPending = false;
        if (Form->FormStyle() == fsMDIForm && !Designing(this)) SetMDIHook(true);
    }
    UpdateSkinIndexes(FSkinData);
    Title.LoadMasks();
    if (Form->FormStyle() == fsMDIChild && MDISkinProvider && HasSkin(MDISkinProvider->FSkinData)) {
        MDISkinProvider->FrameChanged();
        MDISkinProvider->FMenuRows = -1;
    }
    if (!Loading(Form) && !Loading(this) && !Form->FormState().Contains(fsCreating) && FUseGlobalColor &&
        !FSkinData->CustomColor() && m->Active())
        Form->SetColor(GlobalSkinColor(m));
}

void TsSkinProvider::SetMDIHook(bool Active) {
    if (Active && !MDIForm) {
        MDISkinProvider = this;
        MDIForm = new TsMDIForm(this);
    } else if (!Active && MDIForm) {
        delete MDIForm;
        MDIForm = nullptr;
    }
}

void TsSkinProvider::RefreshFormFrame() {
    FrameChanged();
    FMenuChanged = true;
    FMenuRows = -1;
    if (Form && Form->HandleAllocated()) SendMessageA(Form->Handle(), WM_NCPAINT, 0, 0);
}

void TsSkinProvider::PrepareMenus(bool Activate) {
    TsSkinManager* m = FSkinData->GetSkinManager();
    if (Designing(this) || !m || !m->SkinableMenus || !m->IsDefault() || Dying(Form) || FPreparingMenus) return;
    // Menus follow the manager's skin, whatever the form's own section: a
    // program's own owner-drawn menus are never taken while no skin is on.
    if (Activate && !m->Active()) return;
    // Turning a menu owner-drawn tells the form its menu changed, which asks again.
    const TBoolScope preparing(FPreparingMenus, true);
    m->SkinableMenus->InitOwnedMenus(Form, Activate);
    // The active MDI child's items drawn on this form's line.
    if (Form->Menu() && Form->Menu()->Merged()) m->SkinableMenus->InitMenuBar(Form->Menu()->Merged(), Activate);
}

void TsSkinProvider::RebuildMainMenu() {
    if (FMenuRebuilt || !Form || !Form->Menu() || Form->Menu()->Items()->Count() == 0) return;
    FMenuRebuilt = true;
    Form->Menu()->Rebuild();
}

void TsSkinProvider::BeginMDIUpdate(bool WithFrame) { HoldMDIUpdate(true, WithFrame); }

void TsSkinProvider::EndMDIUpdate(bool WithFrame) { HoldMDIUpdate(false, WithFrame); }

void TsSkinProvider::HoldMDIUpdate(bool Hold, bool WithFrame) {
    if (Hold) BeginSkinUpdate(FSkinData);
    else EndSkinUpdate(FSkinData);
    Form->Perform(WM_SETREDRAW, Hold ? 0 : 1, 0);
    if (WithFrame && Form->FormStyle() == fsMDIChild && MDISkinProvider && MDISkinProvider != this &&
        !Dying(MDISkinProvider->Form))
        MDISkinProvider->HoldMDIUpdate(Hold, false);
}

void TsSkinProvider::RefreshMDIFrame() {
    TsSkinProvider* f = MDISkinProvider;
    if (!f || Dying(f->Form) || !f->Form->HandleAllocated()) return;
    BeginSkinUpdate(f->FSkinData);
    f->FrameChanged();
    f->FMenuRows = -1;
    f->FMenuChanged = true;
    EndSkinUpdate(f->FSkinData);
    // The redraw without updates held back paints the frame once, with its
    // children: a redraw switched off and on again leaves them unpainted.
    RedrawWindow(f->Form->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

TsSkinProvider* TsSkinProvider::QueryProvider(TControl* Control) {
    for (TControl* c = Control; c; c = c->Parent())
        if (auto* f = dynamic_cast<TCustomForm*>(c)) return ProviderOf(f);
    return nullptr;
}

void TsSkinProvider::SetShowAppIcon(bool Value) {
    if (Value == FShowAppIcon) return;
    FShowAppIcon = Value;
    RepaintFrame();
}

void TsSkinProvider::SetCaptionAlignment(TAlignment Value) {
    if (Value == FCaptionAlignment) return;
    FCaptionAlignment = Value;
    RepaintFrame();
}

void TsSkinProvider::SetTitleSkin(const String& Value) {
    if (Value == FTitleSkin) return;
    FTitleSkin = Value;
    RepaintFrame();
}

void TsSkinProvider::SetTitleButtons(TsTitleButtons* Value) {
    if (!Value || Value == FTitleButtons) return;
    FTitleButtons->Assign(Value);
    Title.LoadMasks();
    if (Form && Form->HandleAllocated()) RefreshFormFrame();
}

void TsSkinProvider::SetMenuLineSkin(const String& Value) {
    if (Value == FMenuLineSkin) return;
    FMenuLineSkin = Value;
    if (Designing(this)) InvalidateOwner(FSkinData);
}

void TsSkinProvider::SetUseGlobalColor(bool Value) {
    if (Value == FUseGlobalColor) return;
    FUseGlobalColor = Value;
    if (!Form) return;
    if (HasSkin(FSkinData) && Value && !FSkinData->CustomColor())
        Form->SetColor(GlobalSkinColor(FSkinData->GetSkinManager()));
    else Form->SetColor(clBtnFace);
}

void TsSkinProvider::RepaintFrame() {
    FrameChanged();
    if (Form && Form->HandleAllocated() && IsWindowVisible(Form->Handle()))
        SendMessageA(Form->Handle(), WM_NCPAINT, 0, 0);
}

// ---------------------------------------------------------------------------
// Frame geometry

bool TsSkinProvider::HasBorder() const {
    return Form && (Form->BorderStyle() != bsNone || Form->FormStyle() == fsMDIChild);
}

int TsSkinProvider::CaptionHeight() const {
    if (!Form || !Form->HandleAllocated()) return 0;
    const LONG_PTR style = GetWindowLongPtrA(Form->Handle(), GWL_STYLE);
    if (!((HasBorder() && (style & WS_CAPTION) == WS_CAPTION) || IsIconic(Form->Handle()))) return 0;
    const TFormBorderStyle bs = Form->BorderStyle();
    return acSystemMetric(bs == bsToolWindow || bs == bsSizeToolWin ? SM_CYSMCAPTION : SM_CYCAPTION);
}

namespace {
bool FixedFrame(const TCustomForm* F) {
    const TFormBorderStyle bs = F->BorderStyle();
    if (F->FormStyle() == fsMDIChild) return bs == bsSingle || bs == bsToolWindow;
    return bs == bsSingle || bs == bsDialog || bs == bsToolWindow;
}
}  // namespace

int TsSkinProvider::SysBorderHeight() const {
    if (!HasBorder()) return 0;
    return acSystemMetric(FixedFrame(Form) ? SM_CYFIXEDFRAME : SM_CYSIZEFRAME);
}

int TsSkinProvider::SysBorderWidth() const {
    if (!HasBorder()) return 0;
    return acSystemMetric(FixedFrame(Form) ? SM_CXFIXEDFRAME : SM_CXSIZEFRAME);
}

int TsSkinProvider::BottomFrame() const { return SysBorderHeight() + (Form ? Form->BorderWidth() : 0); }

int TsSkinProvider::FormWidth() const {
    if (!Form) return 0;
    if (Form->HandleAllocated()) {
        RECT r{};
        GetWindowRect(Form->Handle(), &r);
        return r.right - r.left;
    }
    return Form->Width();
}

int TsSkinProvider::FormHeight() const {
    if (!Form) return 0;
    if (Form->HandleAllocated()) {
        RECT r{};
        GetWindowRect(Form->Handle(), &r);
        return r.bottom - r.top;
    }
    return Form->Height();
}

int TsSkinProvider::HeaderHeight() {
    if (!Form || !Form->HandleAllocated()) return 0;
    RECT c{};
    GetClientRect(Form->Handle(), &c);
    int h = FormHeight() - c.bottom - BarRoom(ScrollAdapter, true);
    if (CaptionHeight() != 0) h -= BottomFrame();
    h = std::max(h, 0);
    if (IsIconic(Form->Handle())) h += SysBorderHeight();
    return h;
}

int TsSkinProvider::ClientOffsetX() const {
    if (!Form || !Form->HandleAllocated()) return 0;
    RECT c{};
    GetClientRect(Form->Handle(), &c);
    return (FormWidth() - c.right - BarRoom(ScrollAdapter, false)) / 2;
}

int TsSkinProvider::ClientOffsetY() const {
    if (!Form || !Form->HandleAllocated()) return 0;
    RECT c{};
    GetClientRect(Form->Handle(), &c);
    return FormHeight() - c.bottom - (CaptionHeight() != 0 ? BottomFrame() : 0) - BarRoom(ScrollAdapter, true);
}

void TsSkinProvider::UpdateAdapter() {
    if (!Form || Designing(this) || Dying(Form) || !HasSkin(FSkinData)) return;
    if (!Adapter) Adapter = new TacCtrlAdapter(this, Form, FSkinData->GetSkinManager());
    Adapter->AddAllItems();
}

void TsSkinProvider::RemoveAdapter() {
    if (!Adapter || Designing(this)) return;
    AdapterBroadcast(SM_ALPHACMD, MAKEWPARAM(0, AC_REMOVESKIN), reinterpret_cast<LPARAM>(FSkinData->GetSkinManager()));
    delete Adapter;
    Adapter = nullptr;
}

void TsSkinProvider::AdapterBroadcast(UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Adapter && !Designing(this)) Adapter->BroadcastMessage(Msg, WParam, LParam);
}

// The skinned bars replace the common controls' flat ones (Off); those come
// back when the system's bars do.
void TsSkinProvider::SwitchFlatBars(bool Off) {
    // Taken from the common controls by name: not every import library lists them.
    static const HMODULE comctl = GetModuleHandleA("comctl32.dll");
    static const auto getProp = reinterpret_cast<BOOL(WINAPI*)(HWND, int, int*)>(
        reinterpret_cast<void*>(comctl ? GetProcAddress(comctl, "FlatSB_GetScrollProp") : nullptr));
    static const auto uninit = reinterpret_cast<HRESULT(WINAPI*)(HWND)>(
        reinterpret_cast<void*>(comctl ? GetProcAddress(comctl, "UninitializeFlatSB") : nullptr));
    static const auto init = reinterpret_cast<BOOL(WINAPI*)(HWND)>(
        reinterpret_cast<void*>(comctl ? GetProcAddress(comctl, "InitializeFlatSB") : nullptr));
    if (!getProp || !uninit || !init) return;
    const HWND h = Form->Handle();
    int flat = 0;
    if (Off && !FFlatBarsOff && getProp(h, WSB_PROP_WINSTYLE, &flat) && SUCCEEDED(uninit(h))) FFlatBarsOff = true;
    else if (!Off && FFlatBarsOff && init(h)) FFlatBarsOff = false;
}

void TsSkinProvider::UpdateScrollAdapter() {
    if (!Form || Dying(Form) || !Form->HandleAllocated() || !IsWindowVisible(Form->Handle())) return;
    TacMainWnd* a = ScrollAdapter;
    // A form without a scroll-bar style has nothing for an adapter to paint.
    const bool bars = (GetWindowLongPtrA(Form->Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) != 0;
    SwitchFlatBars(HasSkin(FSkinData) && bars);
    if (HasSkin(FSkinData) && (bars || a)) {
        // Released on a skin removal, or left on a window made again: a new one takes its place.
        if (a && (a->Destroyed || a->CtrlHandle != Form->Handle()))
            UnsubclassAdapterWindow(a->CtrlHandle, true, false, a);
        // Skin data of its own: the bar painter prepares its window's cache on the adapter's
        // data, which must not be the frame's picture.
        if (!a) {
            a = new TacScrollWnd(Form->Handle(), nullptr, FSkinData->GetSkinManager(), FSkinData->SkinSection(), false);
            UpdateSkinIndexes(a->SkinData);
            RedrawAdapterFrame(Form->Handle(), true);
        }
    } else if (a) {
        delete a;
        a = nullptr;
    }
    ScrollAdapter = static_cast<TacScrollWnd*>(a);
}

int TsSkinProvider::IconWidth() const {
    if (!FShowAppIcon || !Form || (Form->BorderStyle() != bsSingle && Form->BorderStyle() != bsSizeable)) return 0;
    return FTitleIcon->Width ? FTitleIcon->Width : TitleIconSize(CaptionHeight());
}

int TsSkinProvider::IconHeight() const {
    if (!FShowAppIcon || !Form || (Form->BorderStyle() != bsSingle && Form->BorderStyle() != bsSizeable)) return 0;
    return FTitleIcon->Height ? FTitleIcon->Height : TitleIconSize(CaptionHeight());
}

TRect TsSkinProvider::IconRect() const {
    TRect r;
    r.left = SysBorderWidth();
    r.right = r.left + IconWidth();
    // A maximized window's border lies off the screen: the icon is centred
    // in the caption that shows, or it would lose its top rows.
    if (Form && Form->HandleAllocated() && IsZoomed(Form->Handle()))
        r.top = SysBorderHeight() + (CaptionHeight() - IconHeight()) / 2;
    else r.top = (CaptionHeight() + SysBorderHeight() - IconHeight()) / 2;
    r.bottom = r.top + IconHeight();
    return r;
}

int TsSkinProvider::MenuRowHeight() const { return Form && Form->Menu() ? acSystemMetric(SM_CYMENU) - 1 : 0; }

bool TsSkinProvider::MenuPresent() const {
    if (!Form || Form->BorderStyle() == bsDialog || Form->FormStyle() == fsMDIChild || !Form->Menu()) return false;
    // An MDI frame's line also shows its active child's merged items.
    return !Form->Menu()->ShownItems().empty();
}

int TsSkinProvider::MenuRows() {
    if (FMenuRows >= 0) return FMenuRows;
    if (!MenuPresent() || !Form->HandleAllocated()) return 1;
    // The system lays the menu bar out: count the distinct rows of its items.
    HMENU menu = GetMenu(Form->Handle());
    std::vector<LONG> tops;
    for (int i = 0, n = menu ? GetMenuItemCount(menu) : 0; i < n; ++i) {
        RECT r{};
        if (GetMenuItemRect(Form->Handle(), menu, UINT(i), &r) &&
            std::find(tops.begin(), tops.end(), r.top) == tops.end())
            tops.push_back(r.top);
    }
    FMenuRows = std::max<int>(1, int(tops.size()));
    return FMenuRows;
}

int TsSkinProvider::TitleSection() const {
    return SectionIndexOf(FSkinData->GetSkinManager(), FTitleSkin.empty() ? String("FORMTITLE") : FTitleSkin);
}

// ---------------------------------------------------------------------------
// The MDI client hook

TsMDIForm::TsMDIForm(TsSkinProvider* AProvider) : Provider(AProvider) { ConnectClient(); }

TsMDIForm::~TsMDIForm() {
    HWND client = FClientHook.Handle();
    FAdapter.reset();
    FClientHook.Release();
    if (client && IsWindow(client)) InvalidateRect(client, nullptr, TRUE);
}

void TsMDIForm::ConnectClient() {
    if (FClientHook.Attached() || !Provider->Form || !Provider->Form->HandleAllocated()) return;
    HWND client = Provider->Form->ClientHandle();
    if (!client || !FClientHook.Attach(client, TWndMethod(this, &TsMDIForm::ClientProc))) return;
    // Over the hook: the client's frame and bars are the skin's, and its area
    // is the frame's picture.
    FAdapter = std::make_unique<TacMDIWnd>(client, nullptr, Provider->SkinData()->GetSkinManager(), "CHECKBOX");
    FAdapter->Form = Provider->Form;
    FAdapter->FormSkinData = Provider->SkinData();
    FAdapter->Provider = Provider;
}

void TsMDIForm::UpdateProvider() {
    Provider->SkinData()->BGChanged = true;
    Provider->RefreshFormFrame();
}

void TsMDIForm::PaintSection(HDC DC, const TRect& R) {
    TsSkinManager* m = Provider->SkinData()->GetSkinManager();
    const int area = SectionIndexOf(m, "MDIAREA");
    if (area >= 0) PaintItemToDC(area, "MDIAREA", TCacheInfo(), m, DC, TPoint{0, 0}, R, 0);
    else FillDC(DC, R, GlobalSkinColor(m));
}

void TsMDIForm::PaintArea(TBitmap* Cache) {
    const HWND client = FClientHook.Handle();
    if (client && Provider->Form && Provider->Form->HandleAllocated())
        PaintSection(Cache->Canvas()->Handle(), MDIAreaRect(client, Provider->Form->Handle()));
}

void TsMDIForm::PaintBackground(HDC DC) {
    TsCommonData* data = Provider->SkinData();
    if (data->BGChanged) Provider->PaintAll();
    if (PaintMDIArea(FClientHook.Handle(), Provider->Form, data->CacheBmp, DC)) return;
    // No frame picture yet (the frame is being made): the section alone.
    RECT r{};
    GetClientRect(FClientHook.Handle(), &r);
    PaintSection(DC, TRect(r));
}

void TsMDIForm::ClientMoved(TMessage& Message) {
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
    if (pos && (pos->flags & (SWP_NOSIZE | SWP_NOMOVE)) != (SWP_NOSIZE | SWP_NOMOVE))
        Provider->SkinData()->BGChanged = true;
    FClientHook.CallPrevious(Message);
}

void TsMDIForm::ClientProc(TMessage& Message) {
    if (HasSkin(Provider->SkinData())) switch (Message.Msg) {
            case WM_ERASEBKGND:
                PaintBackground(reinterpret_cast<HDC>(Message.WParam));
                Message.Result = 1;
                return;
            case WM_WINDOWPOSCHANGED: return ClientMoved(Message);
            case WM_MDIACTIVATE:
            case WM_MDIRESTORE:
            case WM_MDIMAXIMIZE:
            case WM_MDIDESTROY:
                FClientHook.CallPrevious(Message);
                UpdateProvider();
                return;
            default: break;
        }
    FClientHook.CallPrevious(Message);
}
