// What the journal's parts share: money in tenths, sale numbers, and running a
// statement with a row function.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace vorn {
class Transaction;
}
namespace vorn::detail {
class Row;
class Engine;
} // namespace vorn::detail

namespace vorn::detail {

// The price in tenths, rounded exactly as format_money shows and the store
// writes it (halves away from zero).
int64_t tenths_of(double yuan);

// The date part of a stored time text ("2026-12-07 10:00:00" -> 20261207); 0
// when the text is no such time.
int day_of(const char* time_text);
// "20261207-0001": the day and its sequence, at least four digits.
std::string sale_number(int day, int seq);

// Takes `count` consecutive sequence numbers of the day for new sales and gives
// the first. They follow the highest of the day in the table and any this
// process handed out on the same store file before (so a number of a
// rolled-back sale is never given again while the program runs). Call inside
// the transaction that writes them. SQLite code.
int reserve_numbers(Engine* db, int day, int count, int& first);

// How many of the named tables and indexes the store holds, into present.
// SQLite code.
int objects_present(Engine* db, std::initializer_list<const char*> tables, const std::vector<const char*>& indexes,
                    int64_t& present);

// Takes the units ids for the open transaction where they still carry flag:
// marks them written (nothing changes), so that a unit another till's
// transaction changed first is left out, and a later one waits for ours. The
// ids not taken go to gone (empty when all were). SQLite code.
int claim_units(Engine* db, const std::vector<int>& ids, int flag, std::vector<int>& gone);

using RowFn = std::function<void(const Row&)>;
// One statement, each result row to row. SQLite code.
int query(Engine* db, const std::string& sql, const RowFn& row);
// The first column of the single row as an integer (0 for no row or NULL).
int query_integer(Engine* db, const std::string& sql, int64_t& value);

// Text between single quotes, quotes doubled.
std::string quoted(const std::string& text);

// Commits t, the transaction that wrote the Sale row numbered number with id
// id (a sale or a return). When a server's answer to the COMMIT was lost, the
// row is looked for on a new connection: SQLITE_OK when it is there, else the
// commit's failure. SQLite code.
int commit_or_find(Transaction& t, Engine* db, const std::string& number, int64_t id);

} // namespace vorn::detail
