// Shows every skinned control of the settings program on one form, and the
// confirm box, for looking at them by eye: skin_showcase [milliseconds].
#include <windows.h>

#include <cstdlib>
#include <string>

#include "settings/controls/ButtonImage.h"
#include "settings/controls/CheckLabelButton.h"
#include "settings/controls/ColorLabel.h"
#include "settings/controls/ComboboxEx.h"
#include "settings/controls/DrawListBox.h"
#include "settings/controls/GraphicPanel.h"
#include "settings/controls/GraphicTime.h"
#include "settings/controls/SkinUtils.h"
#include "settings/controls/TabButton.h"
#include "tests/support/message_pump.h"
#include "settings/forms/form.h"
#include "settings/model/GlobalFuncs.h"
#include "settings/pages/FrmConfirmMode.h"

using namespace settings;

namespace {

class Showcase : public forms::TForm {
public:
    Showcase()
        : TForm([] {
              forms::FormParams p;
              p.ClassName = L"TSkinShowcase";
              p.ClientWidth = 620;
              p.ClientHeight = 420;
              p.FontName = UiFontName();
              return p;
          }()) {}

protected:
    void FormCreate() override {
        LoadSkinImage(&background_, L"eyebg");
        TSkinTargets t;
        t.HealthPage = true;
        t.Background = &background_;
        t.TitleEye = &title_;
        t.EyeTab = &Add<TTabButton>(10, 14, 135, 47);
        t.NeckTab = &Add<TTabButton>(155, 14, 135, 47);
        t.CloseButton = &Add<TButtonImage>(620 - 40, 1, 39, 20);
        auto& rest = Add<TGraphicPanel>(437, 85, 165, 119);
        rest.SetOutStyle(osGraphic);
        t.RestPanel = &rest.Background();
        t.NextRestClock = &Add<TGraphicTime>(445, 110, 90, 20);
        t.ChildModeTab = &Add<TTabButton>(30, 145, 65, 69);
        t.OldManModeTab = &Add<TTabButton>(107, 145, 65, 69);
        t.OriginModeTab = &Add<TTabButton>(184, 145, 65, 69);
        t.EyeExercise = &Add<TButtonImage>(620 - 201, 420 - 75, 101, 45);
        t.PushButtons[0] = &Add<TButtonImage>(30, 370, 60, 23);
        t.PushButtons[1] = &Add<TButtonImage>(100, 370, 60, 23);
        t.AddButton = &Add<TButtonImage>(30, 330, 57, 23);
        t.ManageButton = &Add<TButtonImage>(95, 330, 26, 23);
        t.CheckBoxes[0] = &Add<TCheckLabelButton>(30, 240, 150, 18);
        t.CheckBoxes[1] = &Add<TCheckLabelButton>(30, 262, 150, 18);
        auto* combo = &Add<TQComboBox>(200, 240, 150, 200);
        t.ComboBoxes.push_back(combo);
        t.ShutDownClock = &Add<TGraphicTime>(200, 280, 112, 20);
        LoadSkin(t);
        t.EyeTab->SetCaption(L"");
        for (TTabButton* tab : {t.ChildModeTab, t.OldManModeTab, t.OriginModeTab}) {
            tab->ShowCaption = true;
            tab->CaptionAlign = caBottom;
            tab->CaptionColor = RGB(87, 94, 99);
            tab->SetFont(TFontSpec{UiFontName(), -12, fsNone, 0});
        }
        t.ChildModeTab->SetCaption(L"儿童模式");
        t.OldManModeTab->SetCaption(L"老人模式");
        t.OriginModeTab->SetCaption(L"默认模式");
        for (TButtonImage* b : {t.PushButtons[0], t.PushButtons[1]}) {
            b->ShowCaption = true;
            b->SetFont(TFontSpec{UiFontName(), -12, fsNone, 0});
            b->CaptionColor = 0x635E57;
        }
        t.PushButtons[0]->SetCaption(L"确定");
        t.PushButtons[1]->SetCaption(L"取消");
        t.CheckBoxes[0]->SetCaption(L"开机时启动Vynmar");
        t.CheckBoxes[0]->SetChecked(true);
        t.CheckBoxes[1]->SetCaption(L"智能健康提醒");
        t.NextRestClock->SetCaption(L"12:30");
        t.ShutDownClock->SetAutoSize(true);
        t.ShutDownClock->SetCaption(L"01:25:09");
        auto& sw = Add<TButtonImage>(565, 95, 33, 13);
        SetSwitchButtonSkin(sw, true);
        auto& label = Add<TColorLabel>(30, 104, 0, 15);
        label.AddText(L"您当前使用的是", TFontInfo{RGB(106, 96, 96), UiFontName(), -12, fsNone});
        label.AddText(L"默认模式", TFontInfo{RGB(11, 130, 213), UiFontName(), -12, fsBold});
        ::SendMessageW(combo->Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"每天"));
        ::SendMessageW(combo->Handle(), CB_SETCURSEL, 0, 0);
        combo->BorderColor = 13157048;
        combo->InstallSkinStateHandler();
        auto& list = Add<TDrawListBox>(380, 230, 220, 100);
        list.SetRowHeight(51);
        list.SetColumnCount(1);
        list.OnGetColumnWidth = [](TDrawListBox&, int) { return 200; };
        list.OnDrawRow = [](TDrawListBox& box, int row, const RECT& r) {
            const TQRGBA* back = ListRowSkin().RowBack.Items(row == box.HoverRow() ? 1 : 2);
            if (back) StretchDrawRGBA(box.Canvas(), r.left, r.top, 255, back->Height(), back->Width(), 0, 0, *back,
                                      r.bottom - r.top, r.right - r.left);
            if (const TQRGBA* play = ListRowSkin().Play.Items(0)) DrawRGBA(box.Canvas(), r.left + 10, r.top + 12, *play);
            ::SetBkMode(box.Canvas(), TRANSPARENT);
            RECT text{r.left + 46, r.top, r.right, r.bottom};
            const std::wstring s = row == 0 ? L"08:00 正常关机" : L"23:00 注销";
            ::DrawTextW(box.Canvas(), s.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER);
        };
        list.SetRowCount(3);
    }
    void FormPaint(HDC dc, const RECT& client) override {
        TForm::FormPaint(dc, client);
        DrawRGBA(dc, 0, 0, background_);
        DrawRGBA(dc, 620 - title_.Width() - 5, 13, title_);
    }

private:
    TQRGBA background_, title_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const DWORD ms = argc > 1 ? static_cast<DWORD>(_wtoi(argv[1])) : 3000;
    Showcase form;
    if (!form.CreateForm(nullptr)) return 1;
    ::SetWindowPos(form.Hwnd(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    form.Show();
    TConfirmInfo info;
    info.Title = L"恭喜，您已经选择儿童模式";
    info.SecondLine = L"马上重新启动计算机看看儿童模式的效果吧！";
    info.Message = L"选择 \"稍后重启\"， 将会在下次开机时帮您加载\r\n儿童模式的相关配置。";
    info.OkCaption = L"立即重启";
    info.CancelCaption = L"稍后重启";
    ShowConfirm(info, nullptr, [ms](TFormConfirmMode& box) {
        ::SetWindowPos(box.Hwnd(), HWND_TOPMOST, 660, 10, 0, 0, SWP_NOSIZE);
        testsupport::Pump(ms);
        box.SetModalResult(IDCANCEL);
    });
    return 0;
}
