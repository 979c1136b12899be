// Checks an NDX index against the rules of its tree and against the records of its table.
#pragma once

#include <string>

class TIndexFile;

// The first fault found, naming where it is; empty when the index is sound. Checks: keys in
// order within and across pages (no equal keys in a unique or distinct index), every inner key
// equal to the largest key of its subtree, counts within the keys per page, page numbers below
// the next free page, leaves all at one depth, every entry's key equal to its record's key,
// and every record present once (live records of a distinct index, all records of one that
// admits duplicates).
std::string VerifyIndex(TIndexFile& Index);
