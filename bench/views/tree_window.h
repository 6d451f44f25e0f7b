// A screen-sized window holding a tree control, as the views hold theirs, for the benchmarks of
// the views' fills.
#pragma once

#include "shell/resources.h"
#include "views/tree.h"

#include <commctrl.h>
#include <winuser.h>

inline constexpr int kTreeId = 601;

class TreeWindow {
  public:
    TreeWindow() {
        RC_LoadResDll();
        RC_LoadMUI(GetModuleHandleW(nullptr));
        m_parent = CreateWindowExW(0, u"#32770", u"Bench", WS_POPUP | WS_VISIBLE, 0, 0, 240, 294,
                                   nullptr, nullptr, nullptr, nullptr);
        CreateWindowExW(0, WC_TREEVIEWW, u"", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS, 0, 18, 240,
                        276, m_parent, HMENU(kTreeId), nullptr, nullptr);
        m_tree = TREE_Init(m_parent, kTreeId);
        TREE_CreateImageList(m_tree);
    }

    ~TreeWindow() { DestroyWindow(m_parent); }

    HWND tree() const { return m_tree; }

  private:
    HWND m_parent = nullptr;
    HWND m_tree = nullptr;
};
