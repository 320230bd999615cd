#pragma once

// Outcome of reading one of the program's files.
enum class FileStatus {
    Ok,
    Damaged,  // truncated, or a count, size or value that cannot be right
    NoMemory, // sound, but more than the machine can hold
    Stopped,  // the user stopped it
};
