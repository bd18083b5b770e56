# -*- coding: utf-8 -*-
"""Every word that the artwork carries, by picture: a change of wording is
one edit here. A picture not named here carries no words (an icon, a
background, or a ground on which the program itself writes).

A text is one line, or a tuple of lines drawn under one another. The
generators stop the build when a line no longer fits its picture.
"""

# Mirelo's skin pictures, by resource name.
SETTINGS_WORDS = {
    # Page titles in the title band.
    'titleset': '设置',
    'TitleTimerAlert': '定时提醒',
    'TitleTimerShutDown': '定时关机',
    'titleeye': '健康护士',
    # The health page's two tabs.
    'tabeye': '眼保健操',
    'tabneck': '颈椎保健操',
    # The list pages' buttons in the title band.
    'btn_add': '添加',
    'btn_manager': '管理',
    'btn_return': '返回',
    # Exercise buttons (the two neck pictures are the same button's).
    'btnplayeye': '眼保健操',
    'btnplayjz': '颈椎保健操',
    'icon_movie': '颈椎保健操',
    'icon_word': '颈椎保健操',
    # Hint panels: the neck tab's, the eye tab's, and its low variant.
    'bg_rest_hint': ('长时间低头伏案，颈椎容易疲劳，', '跟着Pim做一套颈椎保健操吧！'),
    'bg_rest_hint2': ('看屏幕久了，', '让眼睛休息一下，', '做做眼保健操吧！'),
    'bg_eye_hint': ('看屏幕久了，', '做做眼保健操吧！'),
}

# Corvalle's pictures: resource ids and files of the skin package.
COMPANION_WORDS = {
    # The first-run chooser's title band: the product's name.
    135: 'ZubVynmar',
    # Rest mode: the label before the countdown, and the play button.
    120: '休息倒计时',
    118: '眼保健操',
    # The first-run tip that points at the mascot.
    141: ('点一点Pim，', '跟它打招呼吧~'),
    # Labels shown over the navigation buttons.
    'eyeprotect_tip.png': '健康护士',
    'schedule_tip.png': '定时提醒',
    'shutdown_tip.png': '定时关机',
    'setting_tip.png': '设置',
    'weather_tip.png': '天气预报',
    # Neck exercises: the title band, then the steps under the picture.
    'neck1.png': ('颈椎保健操', '头慢慢向左侧倾斜，停留五秒，', '再慢慢回到正中，做四次。'),
    'neck2.png': ('颈椎保健操', '头慢慢向右侧倾斜，停留五秒，', '再慢慢回到正中，做四次。'),
    'neck3.png': ('颈椎保健操', '头由左向右慢慢转动，', '动作要轻柔，做四次。'),
}


def lines(text):
    """A table entry as a tuple of lines."""
    return (text,) if isinstance(text, str) else tuple(text)
