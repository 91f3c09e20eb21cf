#include "readers.h"

#include <cstdlib>
#include <string>

#include "vorn/records.h"
#include "vorn/sqltext.h"

namespace vorn::detail {

namespace {

// NULL never occurs in what the program writes; read it as 0 or empty anyway.
int to_int(const char* v) { return v ? std::atoi(v) : 0; }
double to_double(const char* v) { return v ? std::atof(v) : 0.0; }
void to_text(std::string& field, const char* v) {
    if (v)
        field.assign(v);
    else
        field.clear();
}
int64_t to_time(const char* v) { return v ? parse_time(v) : 0; }

template <class Rec> Rec& next_record(void* ctx) {
    auto* c = static_cast<RowContext*>(ctx);
    return static_cast<Rec*>(c->out)[c->count++];
}

int read_store(void* ctx, int ncols, char** v, char**) {
    if (ncols < 17) return 0;
    SRec& r = next_record<SRec>(ctx);
    r.FSi_Id = to_int(v[0]);
    to_text(r.FSs_Code, v[1]);
    to_text(r.FSs_Name, v[2]);
    r.FSi_Type = to_int(v[3]);
    to_text(r.FSs_Size, v[4]);
    r.FSd_OriP = to_double(v[5]);
    r.FSd_RetP = to_double(v[6]);
    r.FSd_MemP = to_double(v[7]);
    r.FSd_GolP = to_double(v[8]);
    r.FSd_WhoP = to_double(v[9]);
    r.FSd_SpeP = to_double(v[10]);
    r.FSt_StoT = to_time(v[11]);
    r.FSd_ReaP = to_double(v[12]);
    r.FSt_SalT = to_time(v[13]);
    r.FSi_Flag = to_int(v[14]);
    r.FSi_Supplier = to_int(v[15]);
    to_text(r.FSs_Remark, v[16]);
    return 0;
}

// Type and Supplier rows have the same shape, and so do their records.
int read_id_name(void* ctx, int ncols, char** v, char**) {
    if (ncols < 2) return 0;
    TRec& r = next_record<TRec>(ctx);
    r.FTi_Id = to_int(v[0]);
    to_text(r.FTs_Name, v[1]);
    return 0;
}

int read_user(void* ctx, int ncols, char** v, char**) {
    if (ncols < 4) return 0;
    URec& r = next_record<URec>(ctx);
    r.FUi_Id = to_int(v[0]);
    to_text(r.FUs_Name, v[1]);
    to_text(r.FUs_Pas, v[2]);
    r.FUi_Auth = to_int(v[3]);
    return 0;
}

int read_addition(void* ctx, int ncols, char** v, char**) {
    if (ncols < 3) return 0;
    ARec& r = next_record<ARec>(ctx);
    r.FAi_Id = to_int(v[0]);
    to_text(r.FAs_Name, v[1]);
    to_text(r.FAs_Value, v[2]);
    return 0;
}

int read_vip(void* ctx, int ncols, char** v, char**) {
    if (ncols < 11) return 0;
    VIPRec& r = next_record<VIPRec>(ctx);
    r.FVi_Id = to_int(v[0]);
    to_text(r.FVs_Code, v[1]);
    r.FVi_Type = to_int(v[2]);
    to_text(r.FVs_Name, v[3]);
    r.FVi_Grade = to_int(v[4]);
    to_text(r.FVs_EMail, v[5]);
    to_text(r.FVs_Phone, v[6]);
    to_text(r.FVs_Addr, v[7]);
    r.FVt_CreT = to_time(v[8]);
    to_text(r.FVs_Remark, v[9]);
    r.FVt_BirT = to_time(v[10]);
    return 0;
}

} // namespace

const RowReader kRowReaders[6] = {read_store, read_id_name, read_id_name, read_user, read_addition, read_vip};
const char* const kTableNames[6] = {"Store", "Type", "Supplier", "User", "Addition", "VIP"};

int read_count(void* ctx, int ncols, char** v, char**) {
    if (ncols >= 1) *static_cast<int*>(static_cast<RowContext*>(ctx)->out) = to_int(v[0]);
    return 0;
}

int read_total_one(void* ctx, int ncols, char** v, char**) {
    if (ncols >= 1) static_cast<double*>(static_cast<RowContext*>(ctx)->out)[0] = to_double(v[0]);
    return 0;
}

int read_total_two(void* ctx, int ncols, char** v, char**) {
    auto* out = static_cast<double*>(static_cast<RowContext*>(ctx)->out);
    if (ncols >= 2) {
        out[0] = to_double(v[0]);
        out[1] = to_double(v[1]);
    }
    return 0;
}

int read_alarm(void* ctx, int ncols, char** v, char**) {
    if (ncols < 3) return 0;
    SRec& r = next_record<SRec>(ctx);
    to_text(r.FSs_Code, v[0]);
    to_text(r.FSs_Name, v[1]);
    to_text(r.FSs_Remark, v[2]);
    return 0;
}

} // namespace vorn::detail
