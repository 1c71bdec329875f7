#include "common/audio_file.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tools
{
bool AudioReader::open(const std::string& path, std::string& error)
{
    std::error_code status;
    if (!std::filesystem::exists(path, status))
    {
        error = "cannot read '" + path + "': no such file";
        return false;
    }
    if (std::filesystem::is_directory(path, status))
    {
        error = "cannot read '" + path + "': it is a folder";
        return false;
    }
    info = SF_INFO{};
    file.reset(sf_open(path.c_str(), SFM_READ, &info));
    if (!file)
    {
        error = "cannot read '" + path + "': " + sf_strerror(nullptr);
        return false;
    }
    return true;
}

std::int64_t AudioReader::read(float* interleaved, std::int64_t frameCount)
{
    return sf_readf_float(file.get(), interleaved, frameCount);
}

std::string AudioReader::readError() const
{
    return sf_error(file.get()) == SF_ERR_NO_ERROR ? std::string() : sf_strerror(file.get());
}

bool AudioWriter::create(const std::string& path, int format, int channels, int sampleRate, std::string& error)
{
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = format;
    if (!sf_format_check(&info))
    {
        error = "cannot write '" + path + "': " + describeFormat(format) + " with " + std::to_string(channels) +
                " channels at " + std::to_string(sampleRate) + " Hz is not a writable format";
        return false;
    }
    if (!target.create(path, error))
        return false;
    file.reset(sf_open_fd(target.descriptor(), SFM_WRITE, &info, SF_FALSE));
    if (!file)
    {
        error = "cannot write '" + path + "': " + sf_strerror(nullptr);
        return false;
    }
    sf_command(file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
    destination = path;
    return true;
}

bool AudioWriter::write(const float* interleaved, std::int64_t frameCount, std::string& error)
{
    if (sf_writef_float(file.get(), interleaved, frameCount) == frameCount)
        return true;
    error = "cannot write '" + destination + "': " + sf_strerror(file.get());
    return false;
}

bool AudioWriter::commit(std::string& error)
{
    // The header gets its final sizes here, so its write is checked too.
    sf_write_sync(file.get());
    const std::string writeError = sf_error(file.get()) != SF_ERR_NO_ERROR ? sf_strerror(file.get()) : "";
    const int closeStatus = sf_close(file.release());
    if (!writeError.empty() || closeStatus != 0)
    {
        error = "cannot write '" + destination +
                "': " + (!writeError.empty() ? writeError : sf_error_number(closeStatus));
        return false;
    }
    return target.commit(error);
}

int formatForFileName(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& character : extension)
        character = static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
    int container = SF_FORMAT_WAV;
    if (extension == ".aif" || extension == ".aiff")
        container = SF_FORMAT_AIFF;
    else if (extension == ".flac")
        container = SF_FORMAT_FLAC;
    return container | SF_FORMAT_PCM_24;
}

bool isIntegerFormat(int format)
{
    const int subtype = format & SF_FORMAT_SUBMASK;
    return subtype != SF_FORMAT_FLOAT && subtype != SF_FORMAT_DOUBLE;
}

std::string describeFormat(int format)
{
    SF_FORMAT_INFO major{};
    major.format = format & SF_FORMAT_TYPEMASK;
    SF_FORMAT_INFO subtype{};
    subtype.format = format & SF_FORMAT_SUBMASK;
    const bool knownMajor = sf_command(nullptr, SFC_GET_FORMAT_INFO, &major, sizeof major) == 0;
    const bool knownSubtype = sf_command(nullptr, SFC_GET_FORMAT_INFO, &subtype, sizeof subtype) == 0;
    char fallback[32];
    std::snprintf(fallback, sizeof fallback, "format 0x%06X", static_cast<unsigned>(format));
    if (!knownMajor)
        return fallback;
    return std::string(major.name) + (knownSubtype ? std::string(", ") + subtype.name : std::string());
}
}  // namespace tools
