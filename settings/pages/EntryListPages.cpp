#include "settings/pages/EntryListPages.h"

#include <utility>

#include "settings/controls/ListBoxView.h"
#include "settings/controls/SkinUtils.h"
#include "settings/model/GlobalFuncs.h"
#include "settings/model/TimerList.h"
#include "settings/pages/ListRowText.h"
#include "settings/pages/PageControls.h"

namespace settings {

// The file's values, shared with Corvalle.
using protocol::kStateActive;
using protocol::kStateExpired;
using protocol::kStatePaused;

namespace {

constexpr int kWidth = 320, kHeight = 365;
constexpr int kFrame = 1;  // the window's frame line, which the list leaves alone
// The empty-list notice: its picture's place until the picture gives it its
// size, centred at kEmptyPictureTop, and the text under it.
constexpr RECT kEmptyPanelBounds{60, 150, 260, 260};
constexpr int kEmptyPictureTop = 140;
constexpr int kEmptyTextGap = 12;
constexpr int kEmptyTextHeight = 16;
// OK and Cancel at the bottom right of an editor.
constexpr int kEditorButtonWidth = 60, kEditorButtonHeight = 23;
constexpr int kOkLeft = kWidth - 140, kCancelLeft = kWidth - 70, kEditorButtonTop = kHeight - 31;

}  // namespace

TEntryListPages::TEntryListPages(TPageHost& form, const TEntryListSetup& setup, IEntryKind& kind,
                                 const std::function<int(HMENU, POINT)>& trackMenu)
    : form_(form), setup_(setup), kind_(kind), trackMenu_(trackMenu) {}

void TEntryListPages::Build(TButtonImage* manageButton, std::function<void()> manageOff) {
    forms::TForm& f = form_;
    manageButton_ = manageButton;
    manageOff_ = std::move(manageOff);

    const int band = TPageHost::kTitleBandHeight;
    list_ = &f.Add<TDrawListBox>(kFrame, band, kWidth - 2 * kFrame, kHeight - band - kFrame);
    list_->SetRowHeight(kRowHeight);
    list_->SetColumnCount(1);
    list_->MouseUpAlwaysClick = true;
    list_->OnGetColumnWidth = [](TDrawListBox& b, int) {
        RECT client{};
        ::GetClientRect(b.Handle(), &client);
        return static_cast<int>(client.right);
    };
    list_->OnGetCellItem = [](TDrawListBox&, int, int, POINT p) { return ::PtInRect(&kStateButton, p) ? kStateItem : 0; };
    list_->OnDrawCell = [this](TDrawListBox&, int row, int, const RECT& r, int item, int state) {
        DrawRow(row, r, item, state);
    };
    list_->OnCellClick = [this](TDrawListBox&, int row, int, int item) { RowClick(row, item); };
    list_->OnGetCursor = [](TDrawListBox&, int, int, int item) {
        return item == kStateItem ? ::LoadCursorW(nullptr, IDC_HAND) : nullptr;
    };
    list_->OnCellDblClick = [this](TDrawListBox&, int row, int, int item) {
        if (row >= 0 && item != kStateItem && mode_ == emIdle) RowClick(row, item);
    };
    list_->OnCustomMouseUp = [this](TDrawListBox&, TMouseButton button, UINT, int x, int y) {
        if (button == mbRight) ContextMenu(x, y);
    };

    const RECT& e = kEmptyPanelBounds;
    emptyPanel_ = &f.Add<TGraphicPanel>(e.left, e.top, e.right - e.left, e.bottom - e.top);
    emptyPanel_->SetOutStyle(osLine);
    emptyPanel_->BorderLineStyles = 0;
    emptyText_ = &AddLabel(f, 0, e.bottom + kEmptyTextGap, setup_.EmptyText, kRowTextColor);

    kind_.BuildEditor(editor_);
    ok_ = &AddPushButton(f, kOkLeft, kEditorButtonTop, kEditorButtonWidth, kEditorButtonHeight, L"确定");
    cancel_ = &AddPushButton(f, kCancelLeft, kEditorButtonTop, kEditorButtonWidth, kEditorButtonHeight, L"取消");
    editor_.push_back(ok_);
    editor_.push_back(cancel_);
    ok_->OnClick = [this](forms::TControl&) { Save(); };
    cancel_->OnClick = [this](forms::TControl&) { CancelEdit(); };

    form_.SetTimer(setup_.ListTimerId, setup_.ListTimerMs, [this] { ListTick(); });
    if (setup_.EditorTimerId) form_.SetTimer(setup_.EditorTimerId, setup_.EditorTimerMs, [this] { EditorTick(); });
}

void TEntryListPages::SetEmptyPicture(const TQRGBA& picture) {
    emptyPanel_->SetBackground(picture);
    if (!picture.Empty())
        emptyPanel_->SetBounds((kWidth - picture.Width()) / 2, kEmptyPictureTop, picture.Width(), picture.Height());
}

// ------------------------------------------------------------ pages

void TEntryListPages::Show(OptionPage page) {
    page_ = page;
    list_->SetVisible(page == setup_.ListPage);
    for (forms::TControl* c : editor_) c->SetVisible(page == setup_.EditPage);
    UpdateRowCounts();
    UpdateEmptyPanel();
}

void TEntryListPages::UpdateRowCounts() {
    list_->SetRowCount(kind_.Count());
    // After a deletion the pointer rests on the row that moved up under it:
    // a press without a move acts on that row, not on the empty area.
    list_->HoverAtPointer();
    RepaintRows();
}

// Setting a row count forgets the row under the pointer, so a press made
// without moving the pointer after it would hit no row: where the rows stay
// the same, they are only painted again.
void TEntryListPages::RepaintRows() {
    if (list_->Handle()) ::InvalidateRect(list_->Handle(), nullptr, FALSE);
}

void TEntryListPages::UpdateEmptyPanel() {
    const bool listShown = page_ == setup_.ListPage;
    const bool empty = listShown && kind_.Count() == 0;
    // The list box is a window of its own: it gives way to the panel.
    if (listShown) list_->SetVisible(!empty);
    emptyPanel_->SetVisible(empty);
    emptyText_->SetVisible(empty);
    if (empty) {
        SetLabelText(*emptyText_, setup_.EmptyText, kRowTextColor);
        const SIZE extent = emptyText_->TextExtent();
        emptyText_->SetBounds((kWidth - extent.cx) / 2, emptyPanel_->Bounds().bottom + kEmptyTextGap, extent.cx,
                              kEmptyTextHeight);
    }
}

void TEntryListPages::ShowMessage(const std::wstring& text) {
    ShowInfo(form_.Hwnd(), text);
}

// ------------------------------------------------------------ editor

void TEntryListPages::Add() {
    ManageOff();
    editIndex_ = -1;
    mode_ = emNew;
    kind_.NewEntry();
    form_.ShowPage(setup_.EditPage);
    kind_.EditorShown(false);
}

void TEntryListPages::Edit(int row) {
    if (row < 0 || row >= kind_.Count()) return;
    ManageOff();
    // The editor works on a copy: the list changes only with a good save.
    editIndex_ = row;
    mode_ = emExisting;
    kind_.LoadEntry(row);
    form_.ShowPage(setup_.EditPage);
    kind_.EditorShown(true);
}

void TEntryListPages::Save() {
    const int row = mode_ == emExisting ? editIndex_ : -1;
    if (!ChangeAndSave([&] { return kind_.StoreEdited(row); })) return;
    form_.NotifyMainProgram(setup_.SavedCode);
    mode_ = emIdle;
    editIndex_ = -1;
    form_.ShowPage(setup_.ListPage);
}

void TEntryListPages::CancelEdit() {
    mode_ = emIdle;
    editIndex_ = -1;
    form_.ShowPage(setup_.ListPage);
}

bool TEntryListPages::DialogKey(UINT key, bool shift) {
    return page_ == setup_.EditPage && kind_.EditorKey(key, shift);
}

// ------------------------------------------------------------ rows

bool TEntryListPages::ChangeAndSave(const std::function<bool()>& change) {
    const std::function<void()> restore = kind_.Keep();
    if (!change()) return false;
    if (kind_.SaveList()) return true;
    restore();
    ShowMessage(kSaveFailedText);
    return false;
}

void TEntryListPages::Delete(int row) {
    if (row < 0 || row >= kind_.Count()) return;
    if (!ChangeAndSave([&] {
            kind_.Erase(row);
            return true;
        }))
        return;
    if (kind_.Count() == 0) ManageOff();
    UpdateRowCounts();
    UpdateEmptyPanel();
    form_.NotifyMainProgram(setup_.DeletedCode);
}

void TEntryListPages::PauseOrResume(int row) {
    if (row < 0 || row >= kind_.Count()) return;
    const int state = kind_.State(row);
    if (state == kStateExpired) return;
    ChangeAndSave([&] {
        kind_.SetState(row, ToggledState(state));
        return true;
    });
    RepaintRows();
}

void TEntryListPages::ToggleManageMode() {
    manage_ = !manage_ && kind_.Count() > 0;
    manageButton_->SetStateOn(manage_);
    RepaintRows();
}

void TEntryListPages::ManageOff() {
    if (manageOff_) manageOff_();
    else ClearManageMode();
}

void TEntryListPages::ClearManageMode() {
    manage_ = false;
    if (manageButton_) manageButton_->SetStateOn(false);
    if (list_) RepaintRows();
}

void TEntryListPages::RowClick(int row, int item) {
    if (page_ != setup_.ListPage) return;
    if (row < 0) {
        ManageOff();
        return;
    }
    if (item != kStateItem) Edit(row);
    else if (manage_) Delete(row);
    else PauseOrResume(row);
}

void TEntryListPages::ContextMenu(int x, int y) {
    const int row = page_ == setup_.ListPage ? list_->HitTest(POINT{x, y}).Row : -1;
    base::Menu menu(::CreatePopupMenu());
    if (!menu) return;
    const UINT flags = MF_STRING | (row >= 0 ? 0 : MF_GRAYED);
    ::AppendMenuW(menu.Get(), flags, kMenuEdit, L"编辑");
    ::AppendMenuW(menu.Get(), flags, kMenuDelete, L"删除");
    POINT screen{x, y};
    ::ClientToScreen(list_->Handle(), &screen);
    const int command = trackMenu_ ? trackMenu_(menu.Get(), screen) : 0;
    menu.Reset();
    if (command == kMenuEdit) Edit(row);
    if (command == kMenuDelete) Delete(row);
}

std::wstring TEntryListPages::StateHint(int row) const {
    if (row < 0 || row >= kind_.Count()) return std::wstring();
    if (manage_) return L"删除";
    const int state = kind_.State(row);
    return state == kStateExpired ? L"已过期" : state == kStatePaused ? L"点击启用" : L"点击暂停";
}

void TEntryListPages::DrawRow(int row, const RECT& r, int item, int state) {
    HDC dc = list_->Canvas();
    TListRowSkin& skin = ListRowSkin();
    const bool hover = row == list_->HoverRow();
    const int backFrame = hover && state == csPressed ? rbkPressed : hover ? rbkHover : rbkOther;
    if (const TQRGBA* back = TListRowSkin::Frame(skin.RowBack, backFrame))
        StretchDrawRGBA(dc, r.left, r.top, 255, back->Height(), back->Width(), 0, 0, *back, r.bottom - r.top,
                        r.right - r.left);
    else {
        base::Brush white(::CreateSolidBrush(RGB(255, 255, 255)));
        ::FillRect(dc, &r, white.Get());
    }
    if (row < 0 || row >= kind_.Count()) return;
    const int entryState = kind_.State(row);
    const bool buttonHover = hover && item == kStateItem;
    const TQRGBA* button = nullptr;
    if (manage_) button = TListRowSkin::Frame(skin.Delete, buttonHover ? rbHover : rbNormal);
    else if (entryState == kStateExpired) button = TListRowSkin::Frame(skin.Play, rbDisabled);
    else if (entryState == kStateActive) button = TListRowSkin::Frame(skin.Pause, buttonHover ? rbHover : rbNormal);
    else button = TListRowSkin::Frame(skin.Play, buttonHover ? rbHover : rbNormal);
    if (button) DrawRGBA(dc, r.left + kStateButton.left, r.top + kStateButton.top, *button);
    // The box has one hint: the state button's under the pointer, whichever
    // row is drawn now.
    const bool onButton = list_->HoverRow() >= 0 && list_->HoverItem() == kStateItem;
    list_->SetHint(onButton ? StateHint(list_->HoverRow()) : std::wstring());
    ::SetBkMode(dc, TRANSPARENT);
    kind_.DrawRowText(dc, row, r);
}

// ------------------------------------------------------------ timers

void TEntryListPages::ListTick() {
    const bool shown = page_ == setup_.ListPage || (setup_.ListTimerOnEditor && page_ == setup_.EditPage);
    if (!shown || kind_.Count() == 0) return;
    if (kind_.TickList()) RepaintRows();
}

void TEntryListPages::EditorTick() {
    if (page_ != setup_.EditPage || mode_ == emIdle) return;
    kind_.TickEditor(mode_ == emExisting);
}

}  // namespace settings
