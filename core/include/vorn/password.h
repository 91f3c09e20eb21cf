// Passwords of the user accounts: what table User keeps in FUs_Pas instead of
// the password itself, and the check of a typed password against it.
//
// A stored password is the text
//     $pbkdf2-sha256$<iterations>$<salt>$<hash>
// with salt (16 random bytes) and hash (32 bytes of PBKDF2-HMAC-SHA256) in
// base64 without padding. The text names its own cost, so hashes of different
// costs live side by side and the cost can rise later: verification always uses
// the iterations written in the text.
//
// Stores made before hashing keep the password as typed. Such a text is still
// accepted by verify_password (compared in constant time); the caller rewrites
// it as a hash once it has been typed correctly (password_needs_rehash).
#pragma once

#include <string>
#include <string_view>

#include "vorn/export.h"

namespace vorn {

// About 50 ms of one core of the shop's till per check (measured with
// OpenSSL 3: 200,000 rounds take 48-50 ms of CPU time). Slow enough that a
// copy of the store cannot be searched for common passwords quickly, fast
// enough that nobody waits for a login.
inline constexpr int kPasswordIterations = 200000;

// The iterations of hashes made from now on in this process; starts at
// kPasswordIterations. Tests lower it (to a few hundred) so that the many
// stores and logins they make stay cheap; every text still records the
// iterations it was made with. Values below 1 count as 1.
VORNCORE_API void set_password_iterations(int iterations);
VORNCORE_API int password_iterations();

// The stored text for a password (GBK bytes as typed), with a fresh salt and
// password_iterations(). Empty when the system could not give random bytes or
// the hash could not be made: never store that.
VORNCORE_API std::string hash_password(std::string_view password);
// The same with a given cost (at least 1).
VORNCORE_API std::string hash_password(std::string_view password, int iterations);

// Whether the stored text is meant as a hash (it begins with the scheme's
// prefix), rather than a password kept as typed by an older store. A text with
// the prefix that cannot be read never matches any password.
VORNCORE_API bool is_password_hash(std::string_view stored);

// Whether `password` is the one `stored` stands for: by hash, or for an old
// store's plain text by comparing the two in constant time.
VORNCORE_API bool verify_password(std::string_view password, std::string_view stored);

// True for plain text and for hashes cheaper than password_iterations(): after
// a successful check the caller writes hash_password(password) over it.
VORNCORE_API bool password_needs_rehash(std::string_view stored);

// Equality whose time depends only on the length of `typed`, never on where
// the texts first differ, so a guesser learns nothing from how long a refusal
// took.
VORNCORE_API bool constant_time_equal(std::string_view expected, std::string_view typed);

} // namespace vorn
