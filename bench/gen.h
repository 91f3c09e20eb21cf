// Generated shop data: goods types, suppliers, goods units and members that look
// like a real shop's, written through vorn::Core only. Used by the data generator
// and the benchmark, and meant for a demo-data command as well.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>

#include "vorn/core.h"

namespace vorn::bench {

struct GenOptions {
    int units = 10000;  // goods units (rows of Store)
    int members = 1000; // members (rows of VIP)
    uint64_t seed = 1;
    int64_t now = 0;   // end of the generated span; 0: the current time
    int years = 3;     // length of the span ending at now
    int batch = 10000; // records per insert call
    double sold_share = 0.6;
};

struct GenResult {
    int units = 0;
    int sold = 0;
    int codes = 0;
    int members = 0;
    int type_ids[10] = {};  // ids of the generated goods types
    int64_t span_begin = 0; // first possible stock time
    int64_t span_end = 0;   // the options' now
};

// stage is "types", "goods" or "members"; done counts records written so far.
using Progress = std::function<void(const char* stage, long done, long total)>;

// Number of goods codes the units are spread over: about 50 units per code.
int code_count(int units);
// The goods code of article k (0 <= k < code_count): 13 digits with an EAN check digit,
// different for every k.
std::string goods_code(int k);
// UTF-8 to GBK (glibc iconv); throws std::runtime_error on text GBK cannot hold.
std::string to_gbk(std::string_view utf8);

// Gives the store the demo shop's name, phone, address and receipt note (the
// counter's title and every receipt's head). False when a setting was not written.
bool write_demo_shop(vorn::Core& core);

// Writes the data into an open store. 0 on success, -1 when a write failed
// (what was written before stays).
int generate(vorn::Core& core, const GenOptions& options, const Progress& progress = {},
             GenResult* result = nullptr);

// Tops the code up to `stock` units in stock (one bench article, fixed prices).
bool restock(vorn::Core& core, const char* code, int stock);

// Gives the sold units sale times shared by 1 to 2g-1 units (g on average), the
// way checkouts leave them.
bool group_sales(vorn::Core& core, int g, std::mt19937_64& rnd);

} // namespace vorn::bench
