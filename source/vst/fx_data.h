#pragma once
// FXP program and FXB bank data read into plain records, for whoever loads
// them into an effect: no effect is called and nothing is thrown. A fault
// names what is wrong with the data, and each caller words it in its own
// terms. Records point into the bytes they were read from.
//
// Checks run in a fixed order and the first fault found is the answer, so
// that data wrong in two ways fails the same way every time.

#include "vst/fx_layout.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace fx
{
using Bytes = std::span<const unsigned char>;

enum class Fault
{
    none,
    endOfFile,            // a field lies beyond the data
    shorterThanDeclared,  // the data ends before its byte size says it does
    notFxData,            // a magic or version no record has, or a negative count or size
    unknownKind,          // a record that is neither a program nor a bank
    otherEffect,          // a record of another effect
    chunkNotTaken,        // a chunk record for an effect that takes no chunks
    chunkCut,             // a chunk that ends beyond the data
};

// What the data is to be loaded into.
struct Receiver
{
    std::int32_t effectId = 0;
    std::int32_t parameterCount = 0;
    bool takesChunks = false;
};

// The six fields every record starts with.
struct Header
{
    std::int32_t chunkMagic = 0;
    std::int32_t byteSize = 0;
    std::int32_t formatMagic = 0;
    std::int32_t formatVersion = 0;
    std::int32_t effectId = 0;
    std::int32_t effectVersion = 0;
};

// A parameter ("FxCk") or chunk ("FPCh") program.
struct Program
{
    Header header;
    std::int32_t parameterCount = 0;  // as the record gives it
    char name[kMaxNameLength + 1] = {};
    // The values the receiver takes, big-endian: the record's first ones, as
    // many as both the record and the receiver have. A loader sets the
    // receiver's parameters beyond them to 0.
    Bytes values;
    Bytes chunk;
    // The record's own length, however many of its values the receiver
    // takes (at most what the data holds): the next program of a bank
    // begins there.
    std::size_t size = 0;
    // Same parameter count as the receiver, and every value in 0..1.
    bool exact = true;

    std::size_t valueCount() const { return values.size() / kValueSize; }
    // Value `index` below valueCount(), moved into 0..1; NaN becomes 0.
    float value(std::size_t index) const;
};

// A parameter ("FxBk") or chunk ("FBCh") bank.
struct Bank
{
    std::int32_t programCount = 0;  // as the bank gives it
    // Parameter banks: the program records, read one by one with
    // readParameterProgram, each from the end of the one before.
    Bytes programs;
    Bytes chunk;
};

struct Data
{
    Header header;
    Program program;  // a program's data
    Bank bank;        // a bank's data
};

// Data of any of the four kinds; header.formatMagic tells which record is
// filled. A bank's programs are not read here.
Fault read(Bytes bytes, const Receiver& receiver, Data& data);

// One parameter program record at the start of `bytes`: a whole program's
// data, or one program of a bank.
Fault readParameterProgram(Bytes bytes, const Receiver& receiver, Program& program);

// The big-endian field at the start of four bytes the caller has checked.
std::int32_t bigEndianInt32(const unsigned char* field);
}  // namespace fx
