// The list manager under test: one made and started per test, with a
// message-only window of the test's own listening to its events, each kept
// as "code hi 0x<lParam>".
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "plugins/catalog/soft_list_mgr.h"
#include "plugins/common/kernel_calls.h"
#include "tests/plugins/catalog/catalog_fixture.h"
#include "tests/support/message_pump.h"

class SoftListMgrTest : public CatalogTest {
protected:
    static constexpr UINT kEventMessage = WM_APP + 24;

    void SetUp() override {
        CatalogTest::SetUp();
        window_ = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        if (mgr_) {
            mgr_->Release();
            mgr_->Release();
        }
        ::DestroyWindow(window_);
        CatalogTest::TearDown();
    }

    // A started manager with this test's window listening.
    catalog::ISoftListMgr* Started() {
        IBexPlugin* object = nullptr;
        EXPECT_EQ(catalog::CreateSoftListMgr(&object), S_OK);
        mgr_ = static_cast<catalog::ISoftListMgr*>(object);
        EXPECT_EQ(mgr_->Start(), 1);
        mgr_->AddListener(window_, kEventMessage);
        return mgr_;
    }

    // Adds the events that arrived since the last look to events_.
    void Drain() {
        MSG msg;
        while (::PeekMessageW(&msg, window_, kEventMessage, kEventMessage, PM_REMOVE)) {
            char text[64];
            std::snprintf(text, sizeof(text), "%u %u 0x%08lX", LOWORD(msg.wParam), HIWORD(msg.wParam),
                          static_cast<unsigned long>(msg.lParam));
            events_.push_back(text);
        }
    }
    std::vector<std::string> Events() {
        Drain();
        return events_;
    }
    // Waits up to 10 s for `count` events equal to `event`.
    bool WaitForEvent(const std::string& event, int count = 1) {
        return testsupport::WaitUntil(
            [&] {
                Drain();
                int seen = 0;
                for (const std::string& e : events_) seen += e == event;
                return seen >= count;
            },
            10000);
    }

    // The ids of the kernel buffer a getter handed out (released here); none
    // when the getter said no.
    static std::vector<uint32_t> BufferIds(BOOL handed, IBexPlugin* out) {
        std::vector<uint32_t> ids;
        if (!handed) return ids;
        if (const auto bytes = protocol::BufferData(protocol::kernel::As<protocol::kernel::ByteBuffer>(out))) {
            ids.resize(bytes->size / 4);
            std::memcpy(ids.data(), bytes->data, ids.size() * 4);
        }
        out->Release();
        return ids;
    }

    HWND window_ = nullptr;
    catalog::ISoftListMgr* mgr_ = nullptr;
    std::vector<std::string> events_;
};
