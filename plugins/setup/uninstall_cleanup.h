// Class 88 slot 4's pieces that tests reach alone.
#pragma once

// Asks the shell to take the pinned taskbar icon at `path` away ("taskbarunpin").
using TaskbarUnpinFn = void (*)(const wchar_t* path);
// Replaces the shell call (tests record the attempt); null puts it back.
void SetTaskbarUnpinSeam(TaskbarUnpinFn seam);
