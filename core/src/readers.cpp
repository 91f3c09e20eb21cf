#include "readers.h"

#include "engine.h"

#include <cstdlib>
#include <string>

#include "vorn/records.h"
#include "vorn/sqltext.h"

namespace vorn::detail {

namespace {

// NULL never occurs in what the program writes but for unset times; read it as
// 0 or empty anyway.
int64_t time_at(const Row& v, int i) {
    const char* t = v.text(i);
    return t ? parse_time(t) : 0;
}

template <class Rec> Rec* next_record(RowContext& ctx) { return static_cast<Rec*>(ctx.out) + ctx.count++; }

void read_store(const Row& s, RowContext& ctx) {
    const Row& v = s;
    if (v.columns() < 17) return;
    SRec& r = *next_record<SRec>(ctx);
    r.FSi_Id = v.integer(0);
    v.text(1, r.FSs_Code);
    v.text(2, r.FSs_Name);
    r.FSi_Type = v.integer(3);
    v.text(4, r.FSs_Size);
    r.FSd_OriP = v.real(5);
    r.FSd_RetP = v.real(6);
    r.FSd_MemP = v.real(7);
    r.FSd_GolP = v.real(8);
    r.FSd_WhoP = v.real(9);
    r.FSd_SpeP = v.real(10);
    r.FSt_StoT = time_at(v, 11);
    r.FSd_ReaP = v.real(12);
    r.FSt_SalT = time_at(v, 13);
    r.FSi_Flag = v.integer(14);
    r.FSi_Supplier = v.integer(15);
    v.text(16, r.FSs_Remark);
}

void read_type(const Row& s, RowContext& ctx) {
    const Row& v = s;
    if (v.columns() < 2) return;
    TRec& r = *next_record<TRec>(ctx);
    r.FTi_Id = v.integer(0);
    v.text(1, r.FTs_Name);
}

void read_supplier(const Row& s, RowContext& ctx) {
    const Row& v = s;
    if (v.columns() < 2) return;
    SPRec& r = *next_record<SPRec>(ctx);
    r.FSPi_Id = v.integer(0);
    v.text(1, r.FSPs_Name);
}

void read_user(const Row& s, RowContext& ctx) {
    const Row& v = s;
    if (v.columns() < 4) return;
    URec& r = *next_record<URec>(ctx);
    r.FUi_Id = v.integer(0);
    v.text(1, r.FUs_Name);
    v.text(2, r.FUs_Pas);
    r.FUi_Auth = v.integer(3);
}

void read_addition(const Row& s, RowContext& ctx) {
    const Row& v = s;
    if (v.columns() < 3) return;
    ARec& r = *next_record<ARec>(ctx);
    r.FAi_Id = v.integer(0);
    v.text(1, r.FAs_Name);
    v.text(2, r.FAs_Value);
}

void read_vip(const Row& s, RowContext& ctx) {
    const Row& v = s;
    if (v.columns() < 11) return;
    VIPRec& r = *next_record<VIPRec>(ctx);
    r.FVi_Id = v.integer(0);
    v.text(1, r.FVs_Code);
    r.FVi_Type = v.integer(2);
    v.text(3, r.FVs_Name);
    r.FVi_Grade = v.integer(4);
    v.text(5, r.FVs_EMail);
    v.text(6, r.FVs_Phone);
    v.text(7, r.FVs_Addr);
    r.FVt_CreT = time_at(v, 8);
    v.text(9, r.FVs_Remark);
    r.FVt_BirT = time_at(v, 10);
}

int to_int(const char* v) { return v ? std::atoi(v) : 0; }
double to_double(const char* v) { return v ? std::atof(v) : 0.0; }
void to_text(std::string& field, const char* v) {
    if (v)
        field.assign(v);
    else
        field.clear();
}

} // namespace

const RowReader kRecordReaders[6] = {read_store, read_type, read_supplier, read_user, read_addition, read_vip};
const char* const kTableNames[6] = {"Store", "Type", "Supplier", "User", "Addition", "VIP"};

void read_count(const Row& s, RowContext& ctx) {
    const Row& v = s;
    if (v.columns() >= 1) *static_cast<int*>(ctx.out) = to_int(v.text(0));
}

void read_total_one(const Row& s, RowContext& ctx) {
    const Row& v = s;
    if (v.columns() >= 1) static_cast<double*>(ctx.out)[0] = to_double(v.text(0));
}

void read_total_two(const Row& s, RowContext& ctx) {
    const Row& v = s;
    if (v.columns() < 2) return;
    auto* out = static_cast<double*>(ctx.out);
    out[0] = to_double(v.text(0));
    out[1] = to_double(v.text(1));
}

void read_alarm(const Row& s, RowContext& ctx) {
    const Row& v = s;
    if (v.columns() < 3) return;
    SRec& r = *next_record<SRec>(ctx);
    to_text(r.FSs_Code, v.text(0));
    to_text(r.FSs_Name, v.text(1));
    to_text(r.FSs_Remark, v.text(2));
}

} // namespace vorn::detail
