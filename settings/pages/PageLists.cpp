#include "settings/pages/PageLists.h"

#include "settings/controls/ListBoxView.h"
#include "settings/controls/SkinUtils.h"
#include "settings/model/GlobalFuncs.h"
#include "settings/model/TimerList.h"
#include "settings/pages/page_host.h"

namespace {

constexpr int kWidth = 320, kHeight = 365;
constexpr int kBand = TPageHost::kTitleBandHeight;
constexpr COLORREF kRowText = 10063750;   // RGB(134, 143, 153)
constexpr COLORREF kRowDate = 10787728;   // RGB(144, 155, 164)
constexpr RECT kStateButton{10, 12, 36, 40};

const std::vector<std::wstring>& RepeatItems() {
    static const std::vector<std::wstring> items = {L"每天", L"星期一到星期五", L"星期六到星期日"};
    return items;
}

std::vector<std::wstring> StyleItems() {
    return {ShutDownStyleText(0), ShutDownStyleText(1), ShutDownStyleText(2),
            ShutDownStyleText(3), ShutDownStyleText(4), ShutDownStyleText(5)};
}

winlib::Font RowFont(bool bold) {
    return winlib::Font(::CreateFontW(-12, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                      CLEARTYPE_QUALITY, 0, UiFontName().c_str()));
}

void DrawText(HDC dc, const std::wstring& text, RECT r, COLORREF color, HFONT font, UINT format) {
    HGDIOBJ old = ::SelectObject(dc, font);
    ::SetTextColor(dc, color);
    ::DrawTextW(dc, text.c_str(), -1, &r, format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    ::SelectObject(dc, old);
}

int TextWidth(HDC dc, const std::wstring& text, HFONT font) {
    HGDIOBJ old = ::SelectObject(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    return size.cx;
}

// Draws digits right-aligned at `right`, centred on `middle`.
int DrawDigits(HDC dc, TGraphicTime& clock, const std::wstring& text, int right, int middle) {
    clock.SetAutoSize(true);
    clock.SetCaption(text);
    const int width = clock.Width(), height = clock.Height();
    clock.SetBounds(right - width, middle - height / 2, width, height);
    clock.Paint(dc);
    return right - width;
}

void CheckRadio(TCheckLabelButton& on, TCheckLabelButton& off) {
    on.SetChecked(true);
    off.SetChecked(false);
}

}  // namespace

TListPages::TListPages(TPageHost& form) : form_(form) {
    ChooseFile = [this](std::wstring& chosen) { return ChooseRingFile(form_.Hwnd(), RingBox->Path(), chosen); };
    PlayRing = [this](const std::wstring& path) { return form_.RingPreview().Play(path); };
    TrackMenu = [this](HMENU menu, POINT screen) {
        return static_cast<int>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, screen.x,
                                                 screen.y, 0, form_.Hwnd(), nullptr));
    };
}

TPageComboBox& TListPages::AddTimeList(int left, int top, int count) {
    TPageComboBox& box = form_.Add<TPageComboBox>(left, top, 45, 260, CBS_DROPDOWN | WS_VSCROLL);
    box.SetTabStop(true);
    for (int n = 0; n < count; ++n) box.AddItem(std::to_wstring(n));
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (box.Handle() && ::GetComboBoxInfo(box.Handle(), &info) && info.hwndItem)
        ::SetWindowLongW(info.hwndItem, GWL_STYLE, ::GetWindowLongW(info.hwndItem, GWL_STYLE) | ES_NUMBER);
    TPageComboBox* self = &box;
    box.OnLeave = [self, count] { self->SetText(std::to_wstring(ClampedListNumber(self->Text(), count))); };
    return box;
}

void TListPages::Build() {
    forms::TForm& f = form_;
    AddButton = &f.Add<TButtonImage>(kWidth - 57 - 12, 36, 57, 23);
    ManageButton = &f.Add<TButtonImage>(kWidth - 57 - 12 - 26 - 6, 36, 26, 23);
    ManageButton->SetHint(L"管理");
    ManageButton->UseOnOff = true;
    ReturnButton = &f.Add<TButtonImage>(kWidth - 57 - 12, 36, 57, 23);

    auto makeList = [&](std::vector<forms::TControl*>& group) {
        TDrawListBox& box = f.Add<TDrawListBox>(1, kBand, kWidth - 2, kHeight - kBand - 1);
        box.SetRowHeight(kRowHeight);
        box.SetColumnCount(1);
        box.MouseUpAlwaysClick = true;
        box.OnGetColumnWidth = [](TDrawListBox& b, int) {
            RECT client{};
            ::GetClientRect(b.Handle(), &client);
            return static_cast<int>(client.right);
        };
        box.OnGetCellItem = [](TDrawListBox&, int, int, POINT p) { return ::PtInRect(&kStateButton, p) ? kStateItem : 0; };
        box.OnDrawCell = [this](TDrawListBox& b, int row, int, const RECT& r, int item, int state) {
            DrawRow(b, row, r, item, state);
        };
        box.OnCellClick = [this](TDrawListBox&, int row, int, int item) { RowClick(row, item); };
        box.OnGetCursor = [](TDrawListBox&, int, int, int item) {
            return item == kStateItem ? ::LoadCursorW(nullptr, IDC_HAND) : nullptr;
        };
        box.OnCellDblClick = [this](TDrawListBox&, int row, int, int item) {
            if (row >= 0 && item != kStateItem && mode_ == emIdle) RowClick(row, item);
        };
        box.OnCustomMouseUp = [this](TDrawListBox& b, TMouseButton button, UINT, int x, int y) {
            if (button == mbRight) ContextMenu(b, x, y);
        };
        group.push_back(&box);
        return &box;
    };
    AlertList = makeList(alertList_);
    ShutDownListBox = makeList(shutDownList_);

    EmptyPanel = &f.Add<TGraphicPanel>(60, 150, 200, 110);
    EmptyPanel->SetOutStyle(osLine);
    EmptyPanel->BorderLineStyles = 0;
    EmptyText = &AddLabel(f, 0, 236, L"您还没有提醒事项哦", kRowText);

    BuildAlertEditor();
    BuildShutDownEditor();

    TSkinTargets t;
    t.Background = &background_;
    t.TitleTimerAlert = &titleAlert_;
    t.TitleTimerShutDown = &titleShutDown_;
    t.EmptyListPicture = &emptyPicture_;
    t.BottomPanel = &bottom_;
    t.PushButtons = {AlertOk, AlertCancel, ShutDownOk, ShutDownCancel};
    t.SoundBrowseButtons = {Play, nullptr};
    t.MorePushButtons = {Browse, nullptr, nullptr, nullptr};
    t.AddButton = AddButton;
    t.ManageButton = ManageButton;
    t.ReturnButton = ReturnButton;
    t.CheckBoxes = {RepeatRadio, SpecifyRadio, OnceRadio};
    t.FourthCheckBox = DailyRadio;
    t.ShutDownClock = Clock;
    t.ComboBoxes = {RepeatKind, RepeatHour, RepeatMin, SpecifyHour, SpecifyMin,
                    OnceHour,   OnceMin,    DailyKind, DailyHour,   DailyMin, Style};
    LoadSkin(t);
    EmptyPanel->SetBackground(emptyPicture_);
    if (!emptyPicture_.Empty())
        EmptyPanel->SetBounds((kWidth - emptyPicture_.Width()) / 2, 140, emptyPicture_.Width(), emptyPicture_.Height());
    for (TButtonImage* b : {AlertOk, AlertCancel, ShutDownOk, ShutDownCancel, Browse}) StylePushButton(*b);
    for (TQComboBox* box : t.ComboBoxes) {
        box->BorderColor = kFrameColor;
        box->RoundWidth = 1;
        box->SetButtonWidth(18);
        box->SetButtonHeight(18);
        box->FieldColor = kFieldColor;
        box->InstallSkinStateHandler();
    }
    SetComboDropWidth(Style->Handle(), -1);
    Clock->SetAutoSize(true);
    Clock->SetCaption(L"00:00:00");

    AddButton->OnClick = [this](forms::TControl&) { AddEntry(); };
    ManageButton->OnClick = [this](forms::TControl&) { ToggleManageMode(); };
    ReturnButton->OnClick = [this](forms::TControl&) { CancelEdit(); };

    form_.SetTimer(kTimerAlertTimerId, 500, [this] { tmrTimerAlertTick(); });
    form_.SetTimer(kShutDownListTimerId, 1000, [this] { tmrShutDownListTick(); });
    form_.SetTimer(kShutDownEditTimerId, 500, [this] { tmrShutDownEditTick(); });
}

void TListPages::BuildAlertEditor() {
    forms::TForm& f = form_;
    auto keep = [this](forms::TControl& c) { alertEditor_.push_back(&c); };
    keep(AddLabel(f, 20, 76, L"提醒内容："));
    Content = &f.Add<TEditBox>(20, 96, 280, 22, ES_AUTOHSCROLL);
    ::SendMessageW(Content->Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(4, 4));
    ::SetWindowLongW(Content->Handle(), GWL_EXSTYLE, 0);
    Content->OnChange = [this] {
        const std::wstring text = Content->Text();
        if (text.size() < kReminderTextLimit) return;
        Content->SetText(text.substr(0, kReminderTextLimit));
        ::SendMessageW(Content->Handle(), EM_SETSEL, kReminderTextLimit, kReminderTextLimit);
    };
    keep(*Content);
    RepeatRadio = &f.Add<TCheckLabelButton>(20, 130, 100, 16);
    SpecifyRadio = &f.Add<TCheckLabelButton>(20, 188, 100, 16);
    RepeatKind = &f.Add<TPageComboBox>(20, 152, 150, 200);
    RepeatHour = &AddTimeList(176, 152, 24);
    RepeatMin = &AddTimeList(238, 152, 60);
    Date = &f.Add<TDatePicker>(20, 210, 150, 22);
    SpecifyHour = &AddTimeList(176, 210, 24);
    SpecifyMin = &AddTimeList(238, 210, 60);
    for (forms::TControl* c : std::initializer_list<forms::TControl*>{RepeatRadio, SpecifyRadio, RepeatKind, RepeatHour,
                                                                       RepeatMin, Date, SpecifyHour, SpecifyMin})
        keep(*c);
    keep(AddLabel(f, 224, 155, L"时"));
    keep(AddLabel(f, 286, 155, L"分"));
    keep(AddLabel(f, 224, 213, L"时"));
    keep(AddLabel(f, 286, 213, L"分"));
    keep(AddLabel(f, 20, 246, L"提醒声音："));
    RingBox = &f.Add<TRingBox>(20, 266, 200, 24);
    RingBox->SetTabStop(true);
    Play = &f.Add<TButtonImage>(20 + 200 - 21, 269, 18, 18);
    Play->SetHint(L"试听");
    Browse = &AddPushButton(f, 228, 266, 70, 24, L"浏览...");
    AlertOk = &AddPushButton(f, kWidth - 140, kHeight - 31, 60, 23, L"确定");
    AlertCancel = &AddPushButton(f, kWidth - 70, kHeight - 31, 60, 23, L"取消");
    for (forms::TControl* c : std::initializer_list<forms::TControl*>{RingBox, Play, Browse, AlertOk, AlertCancel})
        keep(*c);

    for (TCheckLabelButton* r : {RepeatRadio, SpecifyRadio}) {
        r->ButtonType = btRatio;
        r->AutoSize = true;
        r->SetFont(TFontSpec{UiFontName(), -12, fsNone, 0});
        r->SetFontColor(6512215);
        r->SetTabStop(true);
    }
    RepeatRadio->SetCaption(L"重复提醒");
    SpecifyRadio->SetCaption(L"指定日期");
    RepeatKind->AddItems(RepeatItems());
    RepeatRadio->OnClick = [this](forms::TControl&) { SelectRepeatRow(true); };
    SpecifyRadio->OnClick = [this](forms::TControl&) { SelectRepeatRow(false); };
    Browse->OnClick = [this](forms::TControl&) {
        std::wstring chosen;
        if (!ChooseFile || !ChooseFile(chosen)) return;
        if (FileExistsAnyView(chosen) && FileHasExtension(chosen, kSoundExtensions)) {
            SetRing(chosen);
            return;
        }
        ShowMessage(VerdictText(evRingFormat));
        SetRing(std::wstring());
    };
    Play->OnClick = [this](forms::TControl&) {
        if (PlayRing && !RingBox->Path().empty() && FileHasExtension(RingBox->Path(), kSoundExtensions))
            PlayRing(RingBox->Path());
    };
    AlertOk->OnClick = [this](forms::TControl&) { SaveTimerAlertEntry(); };
    AlertCancel->OnClick = [this](forms::TControl&) { CancelEdit(); };
}

void TListPages::BuildShutDownEditor() {
    forms::TForm& f = form_;
    auto keep = [this](forms::TControl& c) { shutDownEditor_.push_back(&c); };
    keep(AddLabel(f, 20, 76, L"关机倒计时："));
    Clock = &f.Add<TGraphicTime>(20, 98, 112, 20);
    OnceRadio = &f.Add<TCheckLabelButton>(20, 134, 100, 16);
    OnceHour = &AddTimeList(20, 156, 24);
    OnceMin = &AddTimeList(82, 156, 60);
    DailyRadio = &f.Add<TCheckLabelButton>(20, 192, 100, 16);
    DailyKind = &f.Add<TPageComboBox>(20, 214, 150, 200);
    DailyHour = &AddTimeList(176, 214, 24);
    DailyMin = &AddTimeList(238, 214, 60);
    for (forms::TControl* c : std::initializer_list<forms::TControl*>{Clock, OnceRadio, OnceHour, OnceMin, DailyRadio,
                                                                       DailyKind, DailyHour, DailyMin})
        keep(*c);
    keep(AddLabel(f, 68, 159, L"时"));
    keep(AddLabel(f, 130, 159, L"分"));
    keep(AddLabel(f, 224, 217, L"时"));
    keep(AddLabel(f, 286, 217, L"分"));
    keep(AddLabel(f, 20, 252, L"关机类型："));
    Style = &f.Add<TPageComboBox>(20, 272, 150, 200);
    ShutDownOk = &AddPushButton(f, kWidth - 140, kHeight - 31, 60, 23, L"确定");
    ShutDownCancel = &AddPushButton(f, kWidth - 70, kHeight - 31, 60, 23, L"取消");
    for (forms::TControl* c : std::initializer_list<forms::TControl*>{Style, ShutDownOk, ShutDownCancel}) keep(*c);
    for (TCheckLabelButton* r : {OnceRadio, DailyRadio}) {
        r->ButtonType = btRatio;
        r->AutoSize = true;
        r->SetFont(TFontSpec{UiFontName(), -12, fsNone, 0});
        r->SetFontColor(6512215);
        r->SetTabStop(true);
    }
    OnceRadio->SetCaption(L"本次关机");
    DailyRadio->SetCaption(L"每天关机");
    DailyKind->AddItems(RepeatItems());
    Style->AddItems(StyleItems());
    OnceRadio->OnClick = [this](forms::TControl&) { SelectDailyRow(false); };
    DailyRadio->OnClick = [this](forms::TControl&) { SelectDailyRow(true); };
    ShutDownOk->OnClick = [this](forms::TControl&) { SaveShutDownEntry(); };
    ShutDownCancel->OnClick = [this](forms::TControl&) { CancelEdit(); };
}

// ------------------------------------------------------------ pages

bool TListPages::OnAlertPages() const {
    return page_ == kPageTimerAlertList || page_ == kPageTimerAlertEdit;
}

bool TListPages::ManageMode() const {
    return OnAlertPages() ? manageAlerts_ : manageShutDowns_;
}

void TListPages::Show(OptionPage page) {
    page_ = page;
    auto show = [](std::vector<forms::TControl*>& group, bool visible) {
        for (forms::TControl* c : group) c->SetVisible(visible);
    };
    show(alertList_, page == kPageTimerAlertList);
    show(alertEditor_, page == kPageTimerAlertEdit);
    show(shutDownList_, page == kPageShutDownList);
    show(shutDownEditor_, page == kPageShutDownEdit);
    const bool list = page == kPageTimerAlertList || page == kPageShutDownList;
    AddButton->SetVisible(list);
    ManageButton->SetVisible(list);
    ReturnButton->SetVisible(!list);
    ManageButton->SetStateOn(ManageMode());
    UpdateRowCounts();
    UpdateEmptyPanel();
    if (form_.Hwnd()) ::InvalidateRect(form_.Hwnd(), nullptr, FALSE);
}

void TListPages::UpdateRowCounts() {
    AlertList->SetRowCount(static_cast<int>(form_.Values().TimerAlerts.size()));
    ShutDownListBox->SetRowCount(static_cast<int>(form_.Values().ShutDowns.size()));
    // After a deletion the pointer rests on the row that moved up under it:
    // a press without a move acts on that row, not on the empty area.
    AlertList->HoverAtPointer();
    ShutDownListBox->HoverAtPointer();
    RepaintRows();
}

// Setting a row count forgets the row under the pointer, so a press made
// without moving the pointer after it would hit no row: where the rows stay
// the same, they are only painted again.
void TListPages::RepaintRows() {
    if (AlertList->Handle()) ::InvalidateRect(AlertList->Handle(), nullptr, FALSE);
    if (ShutDownListBox->Handle()) ::InvalidateRect(ShutDownListBox->Handle(), nullptr, FALSE);
}

void TListPages::UpdateEmptyPanel() {
    const bool alerts = page_ == kPageTimerAlertList, shutDowns = page_ == kPageShutDownList;
    const bool empty = (alerts && form_.Values().TimerAlerts.empty()) || (shutDowns && form_.Values().ShutDowns.empty());
    // The list box is a window of its own: it gives way to the panel.
    if (alerts) AlertList->SetVisible(!empty);
    if (shutDowns) ShutDownListBox->SetVisible(!empty);
    EmptyPanel->SetVisible(empty);
    EmptyText->SetVisible(empty);
    if (empty) {
        SetLabelText(*EmptyText, alerts ? L"您还没有提醒事项哦" : L"您还没有定时关机哦", kRowText);
        const SIZE extent = EmptyText->TextExtent();
        EmptyText->SetBounds((kWidth - extent.cx) / 2, EmptyPanel->Bounds().bottom + 12, extent.cx, 16);
    }
}

void TListPages::Paint(HDC dc) {
    if (!background_.Empty()) DrawRGBA(dc, 0, 0, background_);
    const TQRGBA& title = OnAlertPages() ? titleAlert_ : titleShutDown_;
    if (!title.Empty()) DrawRGBA(dc, 5, 13, title);
    const bool editor = page_ == kPageTimerAlertEdit || page_ == kPageShutDownEdit;
    if (editor && !bottom_.Empty())
        StretchDrawRGBA(dc, 1, kHeight - 40, 255, bottom_.Height(), bottom_.Width(), 0, 0, bottom_, 39, kWidth - 2);
}

void TListPages::ShowMessage(const std::wstring& text) {
    ShowInfo(form_.Hwnd(), text);
}

// ------------------------------------------------------------ editors

void TListPages::SelectRepeatRow(bool repeating) {
    if (repeating) CheckRadio(*RepeatRadio, *SpecifyRadio);
    else CheckRadio(*SpecifyRadio, *RepeatRadio);
    for (forms::TControl* c : std::initializer_list<forms::TControl*>{RepeatKind, RepeatHour, RepeatMin})
        c->SetEnabled(repeating);
    for (forms::TControl* c : std::initializer_list<forms::TControl*>{Date, SpecifyHour, SpecifyMin})
        c->SetEnabled(!repeating);
}

void TListPages::SelectDailyRow(bool repeating) {
    if (repeating) CheckRadio(*DailyRadio, *OnceRadio);
    else CheckRadio(*OnceRadio, *DailyRadio);
    for (forms::TControl* c : std::initializer_list<forms::TControl*>{DailyKind, DailyHour, DailyMin})
        c->SetEnabled(repeating);
    for (forms::TControl* c : std::initializer_list<forms::TControl*>{OnceHour, OnceMin}) c->SetEnabled(!repeating);
}

void TListPages::SetRing(const std::wstring& path) {
    RingBox->SetPath(path);
    Play->SetEnabled(!path.empty() && FileExistsAnyView(path));
}

void TListPages::ResetAlertEditor() {
    const TDateTime now = Now();
    bool nextDay = false;
    const int hour = NextHour(now, &nextDay);
    Date->SetDate(nextDay ? now.AddDays(1) : now);
    RepeatKind->SetItemIndex(0);
    for (TPageComboBox* h : {RepeatHour, SpecifyHour}) h->SetText(std::to_wstring(hour));
    for (TPageComboBox* m : {RepeatMin, SpecifyMin}) m->SetText(L"0");
    SelectRepeatRow(true);
    Content->SetText(kDefaultReminderText);
    SetRing(form_.Values().DefaultRingPath);
}

void TListPages::ResetShutDownEditor() {
    const int hour = NextHour(Now());
    for (TPageComboBox* h : {OnceHour, DailyHour}) h->SetText(std::to_wstring(hour));
    for (TPageComboBox* m : {OnceMin, DailyMin}) m->SetText(L"0");
    DailyKind->SetItemIndex(0);
    SelectDailyRow(false);
    Style->SetItemIndex(StyleListIndex(kStylePowerOff));
    clockText_ = L"00:00:00";
    Clock->SetCaption(clockText_);
}

void TListPages::AddEntry() {
    ManageOff();
    editIndex_ = -1;
    mode_ = emNew;
    if (OnAlertPages()) {
        alertUnderEdit_ = TTimerAlertInfo();
        alertUnderEdit_.State = kStateActive;
        ResetAlertEditor();
        form_.ShowPage(kPageTimerAlertEdit);
        FocusContent();
    } else {
        shutDownUnderEdit_ = TShutDownAlertInfo();
        shutDownUnderEdit_.State = kStateActive;
        ResetShutDownEditor();
        form_.ShowPage(kPageShutDownEdit);
    }
}

void TListPages::EditTimerAlert(int index) {
    if (index < 0 || index >= static_cast<int>(form_.Values().TimerAlerts.size())) return;
    ManageOff();
    // The editor works on a copy: the list changes only with a good save.
    alertUnderEdit_ = form_.Values().TimerAlerts[static_cast<size_t>(index)];
    editIndex_ = index;
    mode_ = emExisting;
    ResetAlertEditor();
    const TDateTime time = ParseTime(alertUnderEdit_.Time);
    const bool repeating = alertUnderEdit_.Repeat != kRepeatOnce;
    if (repeating) {
        RepeatKind->SetItemIndex(RepeatListIndex(alertUnderEdit_.Repeat));
        RepeatHour->SetText(std::to_wstring(time.Hour));
        RepeatMin->SetText(std::to_wstring(time.Minute));
    } else {
        RepeatKind->SetItemIndex(0);
        SpecifyHour->SetText(std::to_wstring(time.Hour));
        SpecifyMin->SetText(std::to_wstring(time.Minute));
        Date->SetDate(ParseDate8(alertUnderEdit_.LastSetDate));
    }
    SelectRepeatRow(repeating);
    Content->SetText(alertUnderEdit_.Content);
    SetRing(alertUnderEdit_.Ring);
    form_.ShowPage(kPageTimerAlertEdit);
    FocusContent();
}

void TListPages::FocusContent() {
    form_.FocusControl(Content);
    if (Content->Handle()) ::SetFocus(Content->Handle());
}

bool TListPages::DialogKey(UINT key, bool shift) {
    if (page_ != kPageTimerAlertEdit || shift || (key != VK_TAB && key != VK_RETURN)) return false;
    forms::TControl* focused = form_.FocusedControl();
    // The content box hands Tab and Enter to the chosen kind of reminder.
    if (focused == Content) {
        form_.FocusControl(RepeatRadio->Checked() ? RepeatRadio : SpecifyRadio);
        return true;
    }
    // The date row is the last one before the ring.
    if (focused == SpecifyMin && key == VK_TAB) {
        form_.FocusControl(RingBox);
        return true;
    }
    return false;
}

void TListPages::EditShutDown(int index) {
    if (index < 0 || index >= static_cast<int>(form_.Values().ShutDowns.size())) return;
    ManageOff();
    shutDownUnderEdit_ = form_.Values().ShutDowns[static_cast<size_t>(index)];
    editIndex_ = index;
    mode_ = emExisting;
    ResetShutDownEditor();
    const TDateTime time = ParseTime(shutDownUnderEdit_.Time);
    const bool repeating = shutDownUnderEdit_.Repeat != kRepeatOnce;
    if (repeating) {
        DailyKind->SetItemIndex(RepeatListIndex(shutDownUnderEdit_.Repeat));
        DailyHour->SetText(std::to_wstring(time.Hour));
        DailyMin->SetText(std::to_wstring(time.Minute));
    } else {
        OnceHour->SetText(std::to_wstring(time.Hour));
        OnceMin->SetText(std::to_wstring(time.Minute));
    }
    SelectDailyRow(repeating);
    Style->SetItemIndex(StyleListIndex(shutDownUnderEdit_.Style));
    form_.ShowPage(kPageShutDownEdit);
    tmrShutDownEditTick();
}

void TListPages::SaveTimerAlertEntry() {
    TReminderForm input;
    input.Repeating = RepeatRadio->Checked();
    input.RepeatKind = RepeatKindFromText(RepeatKind->Text());
    TPageComboBox& hour = input.Repeating ? *RepeatHour : *SpecifyHour;
    TPageComboBox& minute = input.Repeating ? *RepeatMin : *SpecifyMin;
    input.Hour = ClampedListNumber(hour.Text(), 24);
    input.Minute = ClampedListNumber(minute.Text(), 60);
    input.Date = Date->Date();
    input.Ring = RingBox->Path();
    input.Content = Content->Text();

    TTimerAlertInfo entry = alertUnderEdit_;
    const TEntryVerdict verdict = BuildReminder(form_.Values().TimerAlerts, mode_ == emExisting ? editIndex_ : -1, input, Now(), entry);
    if (verdict != evOk) {
        ShowMessage(VerdictText(verdict));
        if (verdict == evRingFormat) SetRing(std::wstring());
        if (verdict == evBeyondTwoYears) Date->SetDate(Now());
        if (verdict == evRingMissing) form_.FocusControl(RingBox);
        if (verdict == evBeyondTwoYears || verdict == evPastDate || verdict == evPastTime) form_.FocusControl(Date);
        return;
    }
    const std::vector<TTimerAlertInfo> before = form_.Values().TimerAlerts;
    if (mode_ == emExisting && editIndex_ >= 0 && editIndex_ < static_cast<int>(form_.Values().TimerAlerts.size()))
        form_.Values().TimerAlerts[static_cast<size_t>(editIndex_)] = entry;
    else form_.Values().TimerAlerts.push_back(entry);
    if (!form_.SaveTimerAlertList()) {
        form_.Values().TimerAlerts = before;
        ShowMessage(kSaveFailedText);
        return;
    }
    form_.NotifyMainProgram(protocol::kEventAddRemind);
    mode_ = emIdle;
    editIndex_ = -1;
    form_.ShowPage(kPageTimerAlertList);
}

void TListPages::SaveShutDownEntry() {
    TShutDownForm input;
    input.Repeating = DailyRadio->Checked();
    input.RepeatKind = RepeatKindFromText(DailyKind->Text());
    TPageComboBox& hour = input.Repeating ? *DailyHour : *OnceHour;
    TPageComboBox& minute = input.Repeating ? *DailyMin : *OnceMin;
    input.Hour = ClampedListNumber(hour.Text(), 24);
    input.Minute = ClampedListNumber(minute.Text(), 60);
    input.Style = Style->ItemIndex() < 0 ? kStylePowerOff : Style->ItemIndex();

    TShutDownAlertInfo entry = shutDownUnderEdit_;
    const int editIndex = mode_ == emExisting ? editIndex_ : -1;
    const TEntryVerdict verdict = BuildShutDown(form_.Values().ShutDowns, editIndex, input, Now(), entry);
    if (verdict != evOk) {
        ShowMessage(VerdictText(verdict));
        return;
    }
    const std::vector<TShutDownAlertInfo> before = form_.Values().ShutDowns;
    int index = editIndex;
    if (index >= 0 && index < static_cast<int>(form_.Values().ShutDowns.size())) {
        form_.Values().ShutDowns[static_cast<size_t>(index)] = entry;
    } else {
        form_.Values().ShutDowns.push_back(entry);
        index = static_cast<int>(form_.Values().ShutDowns.size()) - 1;
    }
    if (entry.State == kStateActive) PauseOverlappingShutDowns(form_.Values().ShutDowns, index);
    if (!form_.SaveShutDownList()) {
        form_.Values().ShutDowns = before;
        ShowMessage(kSaveFailedText);
        return;
    }
    form_.NotifyMainProgram(protocol::kEventAddTask);
    mode_ = emIdle;
    editIndex_ = -1;
    form_.ShowPage(kPageShutDownList);
}

void TListPages::CancelEdit() {
    mode_ = emIdle;
    editIndex_ = -1;
    form_.ShowPage(OnAlertPages() ? kPageTimerAlertList : kPageShutDownList);
}

// ------------------------------------------------------------ rows

void TListPages::DeleteTimerAlert(int index) {
    if (index < 0 || index >= static_cast<int>(form_.Values().TimerAlerts.size())) return;
    const std::vector<TTimerAlertInfo> before = form_.Values().TimerAlerts;
    form_.Values().TimerAlerts.erase(form_.Values().TimerAlerts.begin() + index);
    if (!form_.SaveTimerAlertList()) {
        form_.Values().TimerAlerts = before;
        ShowMessage(kSaveFailedText);
        return;
    }
    if (form_.Values().TimerAlerts.empty()) ManageOff();
    UpdateRowCounts();
    UpdateEmptyPanel();
    form_.NotifyMainProgram(protocol::kEventDelRemind);
}

void TListPages::DeleteShutDownEntry(int index) {
    if (index < 0 || index >= static_cast<int>(form_.Values().ShutDowns.size())) return;
    const std::vector<TShutDownAlertInfo> before = form_.Values().ShutDowns;
    form_.Values().ShutDowns.erase(form_.Values().ShutDowns.begin() + index);
    if (!form_.SaveShutDownList()) {
        form_.Values().ShutDowns = before;
        ShowMessage(kSaveFailedText);
        return;
    }
    if (form_.Values().ShutDowns.empty()) ManageOff();
    UpdateRowCounts();
    UpdateEmptyPanel();
    form_.NotifyMainProgram(protocol::kEventDelTask);
}

void TListPages::PauseOrResume(int index) {
    if (OnAlertPages()) {
        if (index < 0 || index >= static_cast<int>(form_.Values().TimerAlerts.size())) return;
        const std::vector<TTimerAlertInfo> before = form_.Values().TimerAlerts;
        int& state = form_.Values().TimerAlerts[static_cast<size_t>(index)].State;
        if (state == kStateExpired) return;
        state = ToggledState(state);
        if (!form_.SaveTimerAlertList()) {
            form_.Values().TimerAlerts = before;
            ShowMessage(kSaveFailedText);
        }
    } else {
        if (index < 0 || index >= static_cast<int>(form_.Values().ShutDowns.size())) return;
        const std::vector<TShutDownAlertInfo> before = form_.Values().ShutDowns;
        int& state = form_.Values().ShutDowns[static_cast<size_t>(index)].State;
        if (state == kStateExpired) return;
        state = ToggledState(state);
        if (state == kStateActive) PauseOverlappingShutDowns(form_.Values().ShutDowns, index);
        if (!form_.SaveShutDownList()) {
            form_.Values().ShutDowns = before;
            ShowMessage(kSaveFailedText);
        }
    }
    RepaintRows();
}

void TListPages::ToggleManageMode() {
    bool& manage = OnAlertPages() ? manageAlerts_ : manageShutDowns_;
    const bool empty = OnAlertPages() ? form_.Values().TimerAlerts.empty() : form_.Values().ShutDowns.empty();
    manage = !manage && !empty;
    ManageButton->SetStateOn(manage);
    RepaintRows();
}

void TListPages::ManageOff() {
    manageAlerts_ = manageShutDowns_ = false;
    if (ManageButton) ManageButton->SetStateOn(false);
    if (AlertList) RepaintRows();
}

void TListPages::RowClick(int row, int item) {
    if (page_ != kPageTimerAlertList && page_ != kPageShutDownList) return;
    if (row < 0) {
        ManageOff();
        return;
    }
    const bool alerts = page_ == kPageTimerAlertList;
    if (item == kStateItem) {
        if (ManageMode()) alerts ? DeleteTimerAlert(row) : DeleteShutDownEntry(row);
        else PauseOrResume(row);
        return;
    }
    alerts ? EditTimerAlert(row) : EditShutDown(row);
}

void TListPages::ContextMenu(TDrawListBox& box, int x, int y) {
    int row = -1;
    if (page_ == kPageTimerAlertList || page_ == kPageShutDownList) row = box.HitTest(POINT{x, y}).Row;
    winlib::Menu menu(::CreatePopupMenu());
    if (!menu) return;
    const UINT flags = MF_STRING | (row >= 0 ? 0 : MF_GRAYED);
    ::AppendMenuW(menu.Get(), flags, kMenuEdit, L"编辑");
    ::AppendMenuW(menu.Get(), flags, kMenuDelete, L"删除");
    POINT screen{x, y};
    ::ClientToScreen(box.Handle(), &screen);
    const int command = TrackMenu ? TrackMenu(menu.Get(), screen) : 0;
    menu.Reset();
    const bool alerts = page_ == kPageTimerAlertList;
    if (command == kMenuEdit) alerts ? EditTimerAlert(row) : EditShutDown(row);
    if (command == kMenuDelete) alerts ? DeleteTimerAlert(row) : DeleteShutDownEntry(row);
}

std::wstring TListPages::StateHint(int row) const {
    int state = kStateExpired;
    if (OnAlertPages() && row >= 0 && row < static_cast<int>(form_.Values().TimerAlerts.size()))
        state = form_.Values().TimerAlerts[static_cast<size_t>(row)].State;
    else if (!OnAlertPages() && row >= 0 && row < static_cast<int>(form_.Values().ShutDowns.size()))
        state = form_.Values().ShutDowns[static_cast<size_t>(row)].State;
    else return std::wstring();
    if (ManageMode()) return L"删除";
    return state == kStateExpired ? L"已过期" : state == kStatePaused ? L"点击启用" : L"点击暂停";
}

void TListPages::DrawRow(TDrawListBox& box, int row, const RECT& r, int item, int state) {
    HDC dc = box.Canvas();
    TListRowSkin& skin = ListRowSkin();
    const bool hover = row == box.HoverRow();
    const int backFrame = hover && state == csPressed ? rbkPressed : hover ? rbkHover : rbkOther;
    if (const TQRGBA* back = TListRowSkin::Frame(skin.RowBack, backFrame))
        StretchDrawRGBA(dc, r.left, r.top, 255, back->Height(), back->Width(), 0, 0, *back, r.bottom - r.top,
                        r.right - r.left);
    else {
        winlib::Brush white(::CreateSolidBrush(RGB(255, 255, 255)));
        ::FillRect(dc, &r, white.Get());
    }
    const bool alerts = &box == AlertList;
    int entryState = kStateExpired;
    if (alerts && row < static_cast<int>(form_.Values().TimerAlerts.size()))
        entryState = form_.Values().TimerAlerts[static_cast<size_t>(row)].State;
    else if (!alerts && row < static_cast<int>(form_.Values().ShutDowns.size()))
        entryState = form_.Values().ShutDowns[static_cast<size_t>(row)].State;
    else return;
    const bool buttonHover = hover && item == kStateItem;
    const bool manage = alerts ? manageAlerts_ : manageShutDowns_;
    const TQRGBA* button = nullptr;
    if (manage) button = TListRowSkin::Frame(skin.Delete, buttonHover ? rbHover : rbNormal);
    else if (entryState == kStateExpired) button = TListRowSkin::Frame(skin.Play, rbDisabled);
    else if (entryState == kStateActive) button = TListRowSkin::Frame(skin.Pause, buttonHover ? rbHover : rbNormal);
    else button = TListRowSkin::Frame(skin.Play, buttonHover ? rbHover : rbNormal);
    if (button) DrawRGBA(dc, r.left + kStateButton.left, r.top + kStateButton.top, *button);
    // The box has one hint: the state button's under the pointer, whichever
    // row is drawn now.
    const bool onButton = box.HoverRow() >= 0 && box.HoverItem() == kStateItem;
    box.SetHint(onButton ? StateHint(box.HoverRow()) : std::wstring());
    ::SetBkMode(dc, TRANSPARENT);
    if (alerts) DrawAlertRow(dc, form_.Values().TimerAlerts[static_cast<size_t>(row)], r);
    else DrawShutDownRow(dc, form_.Values().ShutDowns[static_cast<size_t>(row)], r);
}

void TListPages::DrawAlertRow(HDC dc, const TTimerAlertInfo& e, const RECT& r) {
    TListRowSkin& skin = ListRowSkin();
    winlib::Font bold = RowFont(true), plain = RowFont(false);
    const int middle = (r.top + r.bottom) / 2;
    int right = r.right - 12;
    if (e.State == kStatePaused) {
        const int w = TextWidth(dc, L"已暂停", plain.Get());
        DrawText(dc, L"已暂停", RECT{right - w, r.top, right, r.bottom}, kGreyTextColor, plain.Get(), DT_RIGHT);
        right -= w;
    } else {
        right = DrawDigits(dc, e.State == kStateActive ? skin.ActiveClock : skin.ExpiredClock, e.Time, right, middle);
    }
    const int left = r.left + kStateButton.right + 10;
    DrawText(dc, e.Content, RECT{left, r.top + 4, right - 8, middle}, kRowText, bold.Get(), DT_LEFT | DT_END_ELLIPSIS);
    DrawText(dc, RepeatKindText(e.Repeat, false), RECT{left, middle, right - 8, r.bottom - 4}, kRowText, plain.Get(),
             DT_LEFT);
    if (e.Repeat == kRepeatOnce && e.State != kStatePaused)
        DrawText(dc, FormatDate8(e.LastSetDate), RECT{left, middle, right - 8, r.bottom - 4}, kRowDate, plain.Get(),
                 DT_RIGHT);
}

void TListPages::DrawShutDownRow(HDC dc, const TShutDownAlertInfo& e, const RECT& r) {
    TListRowSkin& skin = ListRowSkin();
    winlib::Font bold = RowFont(true), plain = RowFont(false);
    const int middle = (r.top + r.bottom) / 2;
    const int left = r.left + kStateButton.right + 10;
    const int timeWidth = TextWidth(dc, e.Time, bold.Get());
    DrawText(dc, e.Time, RECT{left, r.top + 4, left + timeWidth, middle}, kRowText, bold.Get(), DT_LEFT);
    DrawText(dc, ShutDownStyleShortName(e.Style), RECT{left + timeWidth + 5, r.top + 4, r.right - 110, middle},
             kRowText, plain.Get(), DT_LEFT | DT_END_ELLIPSIS);
    std::wstring repeat = RepeatKindText(e.Repeat, true);
    if (e.Repeat == kRepeatOnce)
        repeat = e.LastSetDate == FormatYYYYMMDD(Now()) ? L"今天" : FormatDate8(e.LastSetDate);
    DrawText(dc, repeat, RECT{left, middle, r.right - 110, r.bottom - 4}, kRowText, plain.Get(), DT_LEFT);
    const int right = r.right - 12;
    if (e.State == kStateActive)
        DrawDigits(dc, skin.ActiveClock, L"-" + FormatSeconds(ShutDownCountdown(e, Now())), right, middle);
    else if (e.State == kStatePaused)
        DrawText(dc, L"已暂停", RECT{right - 80, r.top, right, r.bottom}, kGreyTextColor, bold.Get(), DT_RIGHT);
    else DrawDigits(dc, skin.ExpiredClock, e.Time, right, middle);
}

// ------------------------------------------------------------ timers

void TListPages::tmrTimerAlertTick() {
    if (page_ != kPageTimerAlertList || form_.Values().TimerAlerts.empty()) return;
    if (TickTimerAlerts(form_.Values().TimerAlerts, Now())) RepaintRows();
}

void TListPages::tmrShutDownListTick() {
    if ((page_ != kPageShutDownList && page_ != kPageShutDownEdit) || form_.Values().ShutDowns.empty()) return;
    const TShutDownTick tick = TickShutDowns(form_.Values().ShutDowns, Now());
    if (tick.Save) form_.SaveShutDownList();  // a later tick or save tries again
    if (tick.AnyActive || tick.Changed) RepaintRows();
}

void TListPages::tmrShutDownEditTick() {
    if (page_ != kPageShutDownEdit || mode_ == emIdle) return;
    const bool counting = mode_ == emExisting && shutDownUnderEdit_.State == kStateActive;
    clockText_ = counting ? FormatSeconds(ShutDownCountdown(shutDownUnderEdit_, Now())) : L"00:00:00";
    Clock->SetCaption(clockText_);
}
