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

// Opens an existing regular file for reading (or reading and writing). A folder
// is refused with "File access denied", a device, pipe or socket with
// notRegularFile; the open does not block, so a pipe without a writer cannot
// hang the program. Returns the descriptor; the caller closes it.
int openRegularFile(const std::string &path, bool readOnly);

// Opens a file of the program's own (the store, a cache): the name must be a
// regular file of one link, or new when `create` is set; a symbolic link (even
// one to a file), a second name of another file, a folder, a device or a pipe
// is refused with notRegularFile and left alone. The open never follows a link
// nor waits for a pipe's other end. Read-only, or (with `create`) for reading
// and writing, the file made when missing. Returns the descriptor; the caller
// closes it.
int openOwnFile(const std::string &path, bool create);

// Up to `max` bytes from the descriptor's position (any kind of file, streams
// too); 0 at the end.
std::size_t readSome(int fd, char *buffer, std::size_t max);

// Reads exactly `length` bytes at `offset` of an open descriptor: IoError with
// "Read beyond end of file" when the file ends first, or the error of the read.
void readExactly(int fd, char *buffer, std::size_t length, std::int64_t offset);
// Writes exactly `length` bytes at `offset`, or at the descriptor's position
// when `offset` is negative (pipes, devices); IoError with the error of the
// write, "Disk full" when nothing more can be written.
void writeExactly(int fd, const char *buffer, std::size_t length, std::int64_t offset = -1);

class RecordFile {
public:
    explicit RecordFile(int recordSize);
    ~RecordFile();
    RecordFile(const RecordFile &) = delete;
    RecordFile &operator=(const RecordFile &) = delete;

    // Creates the file (replacing its content) and opens it for reading and writing.
    void rewrite(const std::string &path);
    // Empties the program's own working file and opens it for reading and
    // writing, taking an exclusive lock on it so that a second program using the
    // same name fails instead of emptying a file that is in use: with "File
    // access denied", or with `inUseText` when given. That text then stays the
    // reason of every later record operation (code 103) until the file is opened
    // again. The name must be a regular file of one link, or new: a symbolic
    // link, a second name of another file, a device or a pipe is refused with
    // notRegularFile and left alone. Re-creating a file this object already
    // holds empties it and keeps the lock.
    void rewriteExclusive(const std::string &path, const std::string &inUseText = {});
    // Creates a working file afresh: a file left under the name is removed
    // first (a link is removed, not followed), then a new one is created
    // exclusively, so that nothing but a new file of our own is written.
    void createNew(const std::string &path);
    // Opens an existing regular file, read-only or for reading and writing
    // (openRegularFile).
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
    // Closes the file and removes it from its folder, unless its name now
    // belongs to another file.
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
