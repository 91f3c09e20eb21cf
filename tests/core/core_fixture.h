// Shared pieces of the library tests: a fresh store in a private directory per
// test, GBK text from readable literals, and sample records.
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "vorn/core.h"

namespace vorntest {

// The store is "__vorn__" in the current directory, so every test gets its own.
class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        old_cwd_ = std::filesystem::current_path();
        std::string tmpl = (std::filesystem::temp_directory_path() / "vorn-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        std::filesystem::current_path(old_cwd_);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    std::filesystem::path dir_;

private:
    std::filesystem::path old_cwd_;
};

// A test directory with an open store.
class StoreTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        ASSERT_EQ(core.open(), 0);
    }
    void TearDown() override {
        if (core.is_open()) core.close();
        TempDirTest::TearDown();
    }

    vorn::Core core;
};

// Sources are UTF-8; the store holds GBK.
inline std::string gbk(const std::string& utf8) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == (iconv_t)-1) throw std::runtime_error("no GBK converter");
    std::string out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t in_left = utf8.size();
    char* o = out.data();
    size_t out_left = out.size();
    size_t r = iconv(cd, &in, &in_left, &o, &out_left);
    iconv_close(cd);
    if (r == (size_t)-1) throw std::runtime_error("text not in GBK");
    out.resize(out.size() - out_left);
    return out;
}

inline std::string read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// Sets TZ for the scope of one test and puts the old zone back.
class TzGuard {
public:
    explicit TzGuard(const char* tz) {
        const char* old = getenv("TZ");
        had_ = old != nullptr;
        if (had_) old_ = old;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~TzGuard() {
        if (had_) setenv("TZ", old_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
    TzGuard(const TzGuard&) = delete;
    TzGuard& operator=(const TzGuard&) = delete;

private:
    bool had_ = false;
    std::string old_;
};

inline vorn::SRec unit(const std::string& code, const std::string& name, int flag = 0, double ret = 10.0,
                       double rea = 0.0, int64_t sto = 0, int64_t sal = 0) {
    vorn::SRec r;
    r.FSi_Id = 0;
    r.FSs_Code = code;
    r.FSs_Name = name;
    r.FSi_Type = 1;
    r.FSs_Size = "M";
    r.FSd_OriP = 5.0;
    r.FSd_RetP = ret;
    r.FSd_MemP = ret - 1;
    r.FSd_GolP = ret - 2;
    r.FSd_WhoP = ret - 3;
    r.FSd_SpeP = ret - 4;
    r.FSt_StoT = sto;
    r.FSd_ReaP = rea;
    r.FSt_SalT = sal;
    r.FSi_Flag = flag;
    r.FSi_Supplier = 1;
    r.FSs_Remark = "";
    return r;
}

inline vorn::VIPRec member(const std::string& code, const std::string& name, int64_t bir = 0, int64_t cre = 0) {
    vorn::VIPRec v;
    v.FVi_Id = 0;
    v.FVs_Code = code;
    v.FVi_Type = 0;
    v.FVs_Name = name;
    v.FVt_BirT = bir;
    v.FVi_Grade = 0;
    v.FVs_EMail = "a@b.c";
    v.FVs_Phone = "13800000000";
    v.FVs_Addr = "addr";
    v.FVt_CreT = cre;
    v.FVs_Remark = "";
    return v;
}

inline std::vector<vorn::SRec> all_units(vorn::Core& core, const char* cond = nullptr) {
    int n = core.get_srec_count(cond);
    std::vector<vorn::SRec> v(n > 0 ? n : 0);
    int got = core.select_srec(v.data(), cond);
    EXPECT_EQ(got, n);
    return v;
}

} // namespace vorntest
