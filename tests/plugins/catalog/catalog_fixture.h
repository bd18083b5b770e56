// Catalogue tests in this process against the stand-in kernel: the
// plug-in's code bound to it, a value store file of the test's own, and
// waits on the kernel's log.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "plugins/common/kernel_binding.h"
#include "tests/doubles/kernel/kernel_fixture.h"

class CatalogTest : public BexKernelTest {
protected:
    void SetUp() override {
        BexKernelTest::SetUp();
        storePath_ = logPathStem() + L".store";
        ::DeleteFileW(storePath_.c_str());
        ::SetEnvironmentVariableW(L"BEXTEST_STORE", storePath_.c_str());
        ASSERT_EQ(plugin::LoadKernelDll(), S_OK);
    }

    static std::string FixtureDir(const char* name) {
        return testsupport::Narrow(Env(L"TEST_SOURCE_DIR")) + "\\..\\..\\fixtures\\bex\\" + name;
    }

    // One stored value, as the stand-in keeps it (data in hex).
    void PresetValue(int type, const std::string& name, uint32_t extra, const std::string& hex, int large = 0) {
        std::ofstream(storePath_.c_str(), std::ios::binary | std::ios::app)
            << type << '\t' << name << '\t' << extra << '\t' << large << '\t' << hex << '\n';
    }
    void ClearStore() { ::DeleteFileW(storePath_.c_str()); }
    // A store that keeps nothing, for tests that save much and read nothing.
    void ForgetfulStore() { ::SetEnvironmentVariableW(L"BEXTEST_STORE", (WorkDir() + L"none\\store").c_str()); }

    // An answer of `count` softs with the ids from `first` on, and nothing else.
    static void WriteSofts(const std::string& path, uint32_t first, uint32_t count) {
        std::ofstream out(path, std::ios::binary);
        out << "<ret><softs>";
        for (uint32_t id = first; id < first + count; ++id) out << "<soft><id>" << id << "</id></soft>";
        out << "</softs></ret>";
    }

    std::vector<std::string> LinesStartingWith(const std::string& head) const {
        std::vector<std::string> found;
        for (const std::string& line : LogLines())
            if (line.compare(0, head.size(), head) == 0) found.push_back(line);
        return found;
    }
    // Waits up to 10 s for `count` lines starting with `head`.
    bool WaitForLines(const std::string& head, size_t count = 1) {
        for (int i = 0; i < 200; ++i) {
            if (LinesStartingWith(head).size() >= count) return true;
            ::Sleep(50);
        }
        return false;
    }

private:
    std::wstring logPathStem() const {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        return WorkDir() + testsupport::Widen(std::string(info->test_suite_name()) + "." + info->name());
    }
    std::wstring storePath_;
};
