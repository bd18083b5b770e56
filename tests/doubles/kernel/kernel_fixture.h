// The stand-in kernel (bexkernl.dll beside the test programs) as a test
// meets it, whatever area the test is of. KernelFilesTest gives each test a
// log and a configuration file of its own (BEXTEST_LOG, BEXTEST_CONFIG): all
// a test needs whose code under test loads the kernel itself. BexKernelTest
// also loads it and at the end checks the balance: every plug-in class got
// as many -4 notices as -3 notices, and no kernel service object is left
// alive.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/module_exports.h"
#include "protocol/bex_plugin.h"
#include "protocol/program_names.h"
#include "tests/doubles/kernel/bex_test_api.h"
#include "tests/support/text.h"
#include "tests/support/work_dir.h"

class KernelFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::wstring name = testsupport::Widen(std::string(info->test_suite_name()) + "." + info->name());
        logPath_ = WorkDir() + name + L".log";
        configPath_ = WorkDir() + name + L".ini";
        ::DeleteFileW(logPath_.c_str());
        ::DeleteFileW(configPath_.c_str());
        ::SetEnvironmentVariableW(L"BEXTEST_LOG", logPath_.c_str());
        ::SetEnvironmentVariableW(L"BEXTEST_CONFIG", configPath_.c_str());
        SlowKernel("", 0);
    }

    // From now on, each kernel call that logs a line starting with `line`
    // takes `ms` longer; an empty `line` ends that.
    static void SlowKernel(const std::string& line, int ms) {
        const std::wstring value =
            line.empty() ? std::wstring() : std::to_wstring(ms) + L" " + testsupport::Widen(line);
        ::SetEnvironmentVariableW(L"BEXTEST_SLOW", line.empty() ? nullptr : value.c_str());
    }

    // Replaces the stand-in's configuration (ini text).
    void Configure(const std::string& ini) {
        std::ofstream(configPath_.c_str(), std::ios::binary) << ini;
        // The profile functions cache files: make the new text seen.
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, configPath_.c_str());
    }
    // Sets one value of it.
    void Configure(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
        ::WritePrivateProfileStringW(section, key, value.c_str(), configPath_.c_str());
    }
    void ClearConfig() { ::DeleteFileW(configPath_.c_str()); }

    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines;
        std::ifstream in(logPath_.c_str(), std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }
    int CountLines(const std::string& line) const {
        int n = 0;
        for (const std::string& l : LogLines()) n += l == line;
        return n;
    }
    void ClearLog() { ::DeleteFileW(logPath_.c_str()); }

    static std::wstring Env(const wchar_t* name) {
        wchar_t value[MAX_PATH] = {};
        const DWORD len = ::GetEnvironmentVariableW(name, value, MAX_PATH);
        return len > 0 && len < MAX_PATH ? std::wstring(value) : std::wstring();
    }
    static std::wstring WithSlash(std::wstring path) {
        if (!path.empty() && path.back() != L'\\') path += L'\\';
        return path;
    }
    static std::wstring BinDir() { return WithSlash(Env(L"TEST_BIN_DIR")); }
    static std::wstring WorkDir() { return testsupport::WorkDir(); }
    static std::wstring ExeDir() {
        wchar_t path[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring dir(path);
        return dir.substr(0, dir.find_last_of(L'\\') + 1);
    }
    // The stand-in beside this program.
    static std::wstring KernelPath() { return ExeDir() + protocol::kKernelLibrary; }

private:
    std::wstring logPath_;
    std::wstring configPath_;
};

class BexKernelTest : public KernelFilesTest {
protected:
    void SetUp() override {
        KernelFilesTest::SetUp();
        kernel_ = ::LoadLibraryW(KernelPath().c_str());
        ASSERT_NE(kernel_, nullptr);
        bexPlugin_ = Proc<protocol::BexPluginFn>(protocol::kBexPluginName);
        loadPlugin_ = Proc<bextest::LoadPluginFn>(bextest::kLoadPluginName);
        shutdown_ = Proc<bextest::ShutdownFn>(bextest::kShutdownName);
        report_ = Proc<bextest::ReportFn>(bextest::kReportName);
        ASSERT_TRUE(bexPlugin_ && loadPlugin_ && shutdown_ && report_);
    }

    void TearDown() override {
        if (!shutdown_ || !report_) return;
        shutdown_();
        wchar_t text[4096] = {};
        const int imbalances = report_(text, 4096);
        EXPECT_EQ(imbalances, 0) << "unbalanced:\n" << testsupport::Narrow(text);
    }

    // The kernel's entry, as the plug-ins and Corvalle call it.
    HRESULT Bex(int code, void* arg) { return protocol::ResultStatus(bexPlugin_(code, arg)); }
    HRESULT Create(uint32_t classId, IBexPlugin** out) {
        return protocol::ResultStatus(bexPlugin_(static_cast<int>(classId), out));
    }

    // A DLL of build/bin, loaded through the kernel as in production.
    HRESULT LoadPlugin(const wchar_t* name) { return loadPlugin_((BinDir() + name).c_str()); }

    HMODULE kernel_ = nullptr;

private:
    template <typename Fn>
    Fn Proc(const char* name) {
        return base::Export<Fn>(kernel_, name);
    }

    protocol::BexPluginFn bexPlugin_ = nullptr;
    bextest::LoadPluginFn loadPlugin_ = nullptr;
    bextest::ShutdownFn shutdown_ = nullptr;
    bextest::ReportFn report_ = nullptr;
};
