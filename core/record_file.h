#pragma once
// A file of fixed-size records, read and written one record at a time, the way
// the store file "JQT.TMP" (128-byte records) and the font file "Font16s"
// (32-byte records) are used. Every failure raises IoError with the run-time
// number: 103 when the file is not open, 131 for a position before the start,
// "Read beyond end of file" for a record that lies wholly or partly past the end.

#include <cstddef>
#include <cstdint>
#include <string>

namespace dotforge {

// Reads exactly `length` bytes at `offset` of an open descriptor: IoError with
// "Read beyond end of file" when the file ends first, or the error of the read.
void readExactly(int fd, char *buffer, std::size_t length, std::int64_t offset);

class RecordFile {
public:
    explicit RecordFile(int recordSize);
    ~RecordFile();
    RecordFile(const RecordFile &) = delete;
    RecordFile &operator=(const RecordFile &) = delete;

    // Creates the file (replacing its content) and opens it for reading and writing.
    void rewrite(const std::string &path);
    // Like rewrite, but first takes an exclusive lock on the file so that a
    // second program using the same name fails instead of emptying a file that
    // is in use: with "File access denied", or with `inUseText` when given.
    // That text then stays the reason of every later record operation (code
    // 103) until the file is opened again. Re-creating a file this object
    // already holds empties it and keeps the lock.
    void rewriteExclusive(const std::string &path, const std::string &inUseText = {});
    // Opens an existing file, read-only or for reading and writing.
    void reset(const std::string &path, bool readOnly);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    const std::string &path() const { return m_path; }
    int recordSize() const { return m_recordSize; }

    // Moves to record index; the record is read or written by the next call.
    void seek(std::int64_t record);
    // Reads the record at the position and moves past it.
    void read(void *record);
    // Writes the record at the position (extending the file) and moves past it.
    void write(const void *record);
    // Record count from the file's size in bytes (a partial record is not counted).
    std::int64_t size() const;
    // Cuts the file to the given number of records.
    void truncate(std::int64_t records);
    // Closes the file and removes it from its folder.
    void closeAndErase();

private:
    void requireOpen() const;
    int m_recordSize;
    int m_fd = -1;
    std::int64_t m_pos = 0;
    std::string m_path;
    std::string m_unavailable; // why the file is not open, when another program holds it
};

} // namespace dotforge
