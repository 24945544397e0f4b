// TCrypt3: the traditional DES-based Unix password hash crypt(3), behind the
// String object's crypt method. Tables are built on first use and the
// salt-dependent ones again only when the salt changes.
#pragma once

#include <cstdint>

#include "rtl/ansistring.h"

class TCrypt3 {
public:
    // The salt's two characters and eleven characters of the hash of the key
    // (its first 8 characters, 7 bits each); an empty salt gives "".
    AnsiString Crypt(const AnsiString& key, const AnsiString& salt);

private:
    void buildTables();
    void setSalt(int saltBits);
    uint32_t roundFunction(uint32_t right, uint64_t subkey) const;

    bool built_ = false;
    int saltBits_ = -1;            // the 12 salt bits the expansion tables were made for
    uint32_t sp_[8][64];           // S-box outputs through the P permutation
    uint64_t expansion_[4][256];   // salt-perturbed E expansion, one table per byte of R
};
