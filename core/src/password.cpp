// Salted slow hashes of the users' passwords (PBKDF2-HMAC-SHA256 of the
// OpenSSL libcrypto that SQLCipher already brings along).
#include "vorn/password.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

namespace {

const char kPrefix[] = "$pbkdf2-sha256$";
constexpr std::size_t kPrefixLength = sizeof kPrefix - 1;
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;
// A stored text asking for more is not ours: a check must never hang the till.
constexpr long kMaxIterations = 50'000'000;

std::atomic<int> g_iterations{kPasswordIterations};

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Base64 without padding: '=' would only lengthen a column read by people.
std::string to_base64(const unsigned char* data, std::size_t n) {
    std::string out;
    out.reserve((n * 4 + 2) / 3);
    std::size_t i = 0;
    for (; i + 3 <= n; i += 3) {
        const uint32_t v = uint32_t(data[i]) << 16 | uint32_t(data[i + 1]) << 8 | data[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6)
            out += kAlphabet[(v >> shift) & 63];
    }
    if (const std::size_t rest = n - i; rest > 0) {
        uint32_t v = uint32_t(data[i]) << 16;
        if (rest == 2) v |= uint32_t(data[i + 1]) << 8;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        if (rest == 2) out += kAlphabet[(v >> 6) & 63];
    }
    return out;
}

int base64_value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// False for anything but unpadded base64 whose unused low bits are zero, so
// that every byte string has exactly one text.
bool from_base64(std::string_view text, std::vector<unsigned char>& out) {
    out.clear();
    if (text.size() % 4 == 1) return false;
    uint32_t acc = 0;
    int bits = 0;
    for (char c : text) {
        const int v = base64_value(c);
        if (v < 0) return false;
        acc = (acc << 6) | static_cast<uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<unsigned char>((acc >> bits) & 0xff));
        }
    }
    return (acc & ((1u << bits) - 1)) == 0;
}

struct Parsed {
    int iterations = 0;
    std::vector<unsigned char> salt;
    std::vector<unsigned char> hash;
};

bool parse(std::string_view stored, Parsed& p) {
    if (!is_password_hash(stored)) return false;
    std::string_view rest = stored.substr(kPrefixLength);
    const std::size_t d1 = rest.find('$');
    if (d1 == std::string_view::npos || d1 == 0 || d1 > 9) return false;
    long iterations = 0;
    for (char c : rest.substr(0, d1)) {
        if (c < '0' || c > '9') return false;
        iterations = iterations * 10 + (c - '0');
    }
    if (rest[0] == '0' || iterations < 1 || iterations > kMaxIterations) return false;
    rest.remove_prefix(d1 + 1);
    const std::size_t d2 = rest.find('$');
    if (d2 == std::string_view::npos) return false;
    if (!from_base64(rest.substr(0, d2), p.salt) || p.salt.size() < 8) return false;
    if (!from_base64(rest.substr(d2 + 1), p.hash) || p.hash.size() < 16 || p.hash.size() > 64) return false;
    p.iterations = static_cast<int>(iterations);
    return true;
}

bool derive(std::string_view password, const unsigned char* salt, int saltLength, int iterations,
            unsigned char* out, int outLength) {
    return PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt, saltLength, iterations,
                             EVP_sha256(), outLength, out) == 1;
}

} // namespace

void set_password_iterations(int iterations) {
    g_iterations.store(std::max(1, iterations));
}

int password_iterations() {
    return g_iterations.load();
}

std::string hash_password(std::string_view password) {
    return hash_password(password, password_iterations());
}

std::string hash_password(std::string_view password, int iterations) {
    iterations = std::max(1, iterations);
    unsigned char salt[kSaltBytes];
    unsigned char hash[kHashBytes];
    if (RAND_bytes(salt, kSaltBytes) != 1) return std::string();
    if (!derive(password, salt, kSaltBytes, iterations, hash, kHashBytes)) return std::string();
    std::string out(kPrefix);
    out += std::to_string(iterations);
    out += '$';
    out += to_base64(salt, kSaltBytes);
    out += '$';
    out += to_base64(hash, kHashBytes);
    OPENSSL_cleanse(hash, kHashBytes);
    return out;
}

bool is_password_hash(std::string_view stored) {
    return stored.substr(0, kPrefixLength) == kPrefix;
}

bool verify_password(std::string_view password, std::string_view stored) {
    if (!is_password_hash(stored)) return constant_time_equal(stored, password);
    Parsed p;
    if (!parse(stored, p)) return false;
    std::vector<unsigned char> computed(p.hash.size());
    if (!derive(password, p.salt.data(), static_cast<int>(p.salt.size()), p.iterations, computed.data(),
                static_cast<int>(computed.size())))
        return false;
    const bool same = CRYPTO_memcmp(computed.data(), p.hash.data(), computed.size()) == 0;
    OPENSSL_cleanse(computed.data(), computed.size());
    return same;
}

bool password_needs_rehash(std::string_view stored) {
    Parsed p;
    if (!is_password_hash(stored)) return true;
    // An unreadable hash matches nothing, so it never reaches a rehash.
    return parse(stored, p) && p.iterations < password_iterations();
}

bool constant_time_equal(std::string_view expected, std::string_view typed) {
    // Every typed byte is looked at, against the expected byte at the same place
    // or a stand-in beyond its end; the lengths join the difference at the end.
    const unsigned char pad = 0;
    unsigned int diff = expected.size() == typed.size() ? 0u : 1u;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const unsigned char e = i < expected.size() ? static_cast<unsigned char>(expected[i]) : pad;
        diff |= e ^ static_cast<unsigned char>(typed[i]);
    }
    return diff == 0;
}

} // namespace vorn
