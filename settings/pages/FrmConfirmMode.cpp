#include "settings/pages/FrmConfirmMode.h"

#include "settings/controls/SkinUtils.h"
#include "settings/model/GlobalFuncs.h"

namespace settings {

namespace {

constexpr int kDesignWidth = 400, kDesignHeight = 230;
constexpr COLORREF kTitleColor = 0x555555;
constexpr COLORREF kGrey = 0x808080;
constexpr COLORREF kCaptionColor = 0x635E57;

// Shared by every box of the process, loaded on first use.
struct ConfirmPictures {
    TQRGBA Background;
    TQRGBA Line;
    bool Loaded = false;
};

ConfirmPictures& Pictures() {
    static ConfirmPictures pictures;
    if (!pictures.Loaded) {
        pictures.Loaded = true;
        LoadSkinImage(&pictures.Background, L"Confirmbg");
        LoadSkinImage(&pictures.Line, L"line");
    }
    return pictures;
}

forms::FormParams ConfirmParams() {
    forms::FormParams p;
    p.ClassName = kConfirmModeWindowClass;
    p.Caption = L"";
    p.ClientWidth = kDesignWidth;
    p.ClientHeight = kDesignHeight;
    p.Color = RGB(255, 255, 255);
    p.FontHeight = -12;
    p.FontName = UiFontName();
    return p;
}

TFontSpec ButtonFont() {
    TFontSpec font;
    font.Name = UiFontName();
    font.Height = -12;
    return font;
}

}  // namespace

TFormConfirmMode::TFormConfirmMode() : TForm(ConfirmParams()) {}

void TFormConfirmMode::FormCreate() {
    msg_ = &Add<forms::TLabel>(105, 120, 10, 15);
    msg2_ = &Add<forms::TLabel>(105, 150, 10, 15);
    for (forms::TLabel* label : {msg_, msg2_}) {
        label->SetCaption(L"提示内容");
        label->TextColor = kGrey;
        label->Format = DT_LEFT | DT_TOP | DT_NOPREFIX;
    }
    line_ = &Add<TGraphicPanel>(105, 100, 10, 1);
    line_->SetOutStyle(osGraphic);

    close_ = &Add<TButtonImage>(0, 1, 39, 20);
    close_->SetHint(L"放弃选择");
    close_->OnClick = [this](forms::TControl&) { SetModalResult(IDCANCEL); };
    ok_ = &Add<TButtonImage>(0, 0, 70, 23);
    cancel_ = &Add<TButtonImage>(0, 0, 70, 23);
    ok_->SetCaption(L"确定");
    cancel_->SetCaption(L"取消");
    for (TButtonImage* button : {ok_, cancel_}) {
        button->ShowCaption = true;
        button->StretchDraw = true;
        button->SetTabStop(true);
    }
    ok_->OnClick = [this](forms::TControl&) { SetModalResult(IDOK); };
    cancel_->OnClick = [this](forms::TControl&) { SetModalResult(IDCANCEL); };

    label1_ = &Add<TColorLabel>(105, 50, 0, 15);
    label2_ = &Add<TColorLabel>(105, 70, 0, 15);

    LoadSkin();
    for (forms::TLabel* label : {msg_, msg2_}) SizeLabel(*label);
    for (TButtonImage* button : {close_, ok_, cancel_}) {
        button->SetFont(ButtonFont());
        button->CaptionColor = kCaptionColor;
    }
    Layout(false);
}

void TFormConfirmMode::LoadSkin() {
    const ConfirmPictures& pictures = Pictures();
    line_->SetBackground(pictures.Line);
    if (!pictures.Line.Empty()) line_->SetBounds(line_->Bounds().left, line_->Bounds().top, pictures.Line.Width(), pictures.Line.Height());
    // The box always takes the picture's size, even when a strip below is
    // missing: a box sized for a picture it does not show would still
    // place its buttons on the edge.
    const int width = pictures.Background.Empty() ? kDesignWidth : pictures.Background.Width();
    const int height = pictures.Background.Empty() ? kDesignHeight : pictures.Background.Height();
    SetClientSize(width, height);
    SetRoundWindowRegion(Hwnd(), width, height, 7);
    skinned_ = SkinImageButton(close_, L"btnClose", 39, 20, kThreeStates) &&
               SkinImageButton(ok_, L"Button_Normal", 60, 23, kThreeStates) &&
               SkinImageButton(cancel_, L"Button_Normal", 60, 23, kThreeStates);
}

void TFormConfirmMode::SizeLabel(forms::TLabel& label) {
    RECT r{0, 0, 0, 0};
    base::MemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!dc) return;
    base::SelectObjectScope font(dc.Get(), Font() ? static_cast<HGDIOBJ>(Font()) : ::GetStockObject(DEFAULT_GUI_FONT));
    const std::wstring text = label.Caption().empty() ? L" " : label.Caption();
    ::DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_LEFT | DT_NOPREFIX);
    label.SetBounds(label.Bounds().left, label.Bounds().top, r.right, label.Caption().empty() ? 0 : r.bottom);
}

void TFormConfirmMode::Layout(bool oneLine) {
    const RECT client = ClientRect();
    const int width = client.right, height = client.bottom;
    close_->SetBounds(width - close_->Width() - 1, 1, close_->Width(), close_->Height());
    // A box of one line shows its title one line lower, in the middle of
    // the space the two lines would take.
    label1_->SetBounds(105, 50 + (oneLine ? label1_->Height() : 0), label1_->Width(), label1_->Height());
    const int gap = IsVistaOrLater() ? 8 : 10;
    label2_->SetBounds(label1_->Bounds().left, label1_->Bounds().bottom + gap, label2_->Width(), label2_->Height());
    const TColorLabel* above = oneLine ? label1_ : label2_;
    line_->SetBounds(above->Bounds().left, above->Bounds().bottom + gap, line_->Width(), line_->Height());
    msg_->SetBounds(label1_->Bounds().left, line_->Bounds().bottom + gap, msg_->Width(), msg_->Height());
    msg2_->SetBounds(label1_->Bounds().left, msg_->Bounds().bottom + gap, msg2_->Width(), msg2_->Height());
    cancel_->SetBounds(width - cancel_->Width() - 15, height - cancel_->Height() - 13, cancel_->Width(), cancel_->Height());
    ok_->SetBounds(cancel_->Bounds().left - cancel_->Width() - 15, cancel_->Bounds().top, ok_->Width(), ok_->Height());
}

void TFormConfirmMode::Prepare(const TConfirmInfo& info) {
    if (!info.OkCaption.empty()) ok_->SetCaption(info.OkCaption);
    if (!info.CancelCaption.empty()) cancel_->SetCaption(info.CancelCaption);
    label1_->ClearText();
    label2_->ClearText();
    if (!info.Title.empty()) label1_->AddText(info.Title, TFontInfo{kTitleColor, UiFontName(), -12, fsBold});
    msg2_->SetCaption(info.Message2);
    msg_->SetCaption(info.Message);
    SizeLabel(*msg_);
    SizeLabel(*msg2_);
    if (!info.SecondLine.empty()) {
        label2_->AddText(info.SecondLine, TFontInfo{kGrey, UiFontName(), -12, fsNone});
        label2_->SetVisible(true);
        Layout(false);
    } else {
        label2_->SetVisible(false);
        Layout(true);
    }
    close_->SetHint(cancel_->Caption());
}

void TFormConfirmMode::FormPaint(HDC dc, const RECT& client) {
    const ConfirmPictures& pictures = Pictures();
    if (pictures.Background.Empty()) {
        TForm::FormPaint(dc, client);
        return;
    }
    DrawRGBA(dc, 0, 0, pictures.Background);
}

void TFormConfirmMode::FormMouseDown(POINT) {
    // The box has no caption: its whole background drags it.
    ::ReleaseCapture();
    SendMessage(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

int TFormConfirmMode::ShowModal() {
    if (OnShown) PostMessage(kShownMessage);
    return TForm::ShowModal();
}

LRESULT TFormConfirmMode::OnShownMessage(UINT, WPARAM, LPARAM, BOOL&) {
    if (OnShown) OnShown(*this);
    return 0;
}

bool ShowConfirm(const TConfirmInfo& info, HWND owner, std::function<void(TFormConfirmMode&)> onShown) {
    TFormConfirmMode box;
    if (!box.CreateForm(owner)) return false;
    box.Prepare(info);
    box.OnShown = std::move(onShown);
    const bool ok = box.ShowModal() == IDOK;
    box.DestroyWindow();
    return ok;
}

}  // namespace settings
