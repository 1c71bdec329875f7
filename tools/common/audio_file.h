#pragma once
// Audio files through libsndfile: a whole-file reader and a writer that only
// replaces its destination once everything is written.

#include "common/replacing_file.h"

#include <sndfile.h>

#include <cstdint>
#include <memory>
#include <string>

namespace tools
{
struct SndfileCloser
{
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

class AudioReader
{
public:
    // False with a one-line reason when the file cannot be opened as audio.
    bool open(const std::string& path, std::string& error);

    int channels() const { return info.channels; }
    int sampleRate() const { return info.samplerate; }
    int format() const { return info.format; }
    std::int64_t frames() const { return info.frames; }
    // Reads up to frameCount interleaved frames; fewer at the end, 0 after it.
    std::int64_t read(float* interleaved, std::int64_t frameCount);
    // Empty unless reading stopped on a damaged file.
    std::string readError() const;

private:
    SndfileHandle file;
    SF_INFO info{};
};

class AudioWriter
{
public:
    // Writes into a temporary file beside path, so that a render that fails
    // halfway leaves an existing file at path as it was. Samples beyond full
    // scale are clipped in integer formats rather than wrapped around.
    bool create(const std::string& path, int format, int channels, int sampleRate, std::string& error);
    bool write(const float* interleaved, std::int64_t frameCount, std::string& error);
    // Completes the file and moves it to its destination.
    bool commit(std::string& error);

private:
    // Closed before the temporary file it writes into, which is removed
    // unless commit() succeeded.
    tools::ReplacingFile target;
    SndfileHandle file;
    std::string destination;
};

// 24-bit WAV, AIFF or FLAC as the file name's extension says; WAV otherwise.
int formatForFileName(const std::string& path);
// True for formats that store samples as integers (and so clip at full scale).
bool isIntegerFormat(int format);
// A short name of the container and sample type, e.g. "WAV, 24-bit".
std::string describeFormat(int format);
}  // namespace tools
