#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

// Recovery copies: while a document has unsaved changes, a copy of it in its own file format
// lies in the folder "Wiederherstellung" of the per-user data folder, with a description beside
// it. A copy whose writing program no longer runs is what a crash or power cut left behind; the
// next start offers it.
//
// Names: "<writer>-<serial>.<ext>" for the copy and "<writer>-<serial>.json" for its
// description, where <writer> names the writing program: its process id, its start time and the
// boot it runs in. So two programs running at once never write the same name, and a program
// started after a reboot under a process id that a dead one had is not taken for it.
namespace recovery {

enum class Kind { Chart, Picture };

// What the description beside a copy says.
struct Description {
    Kind kind = Kind::Chart;
    QString fileName;           // the document's file, empty while it has none
    QString title;              // the name the window shows ("jacke.tpd", "NONAME")
    int format = 0;             // pictures: the format code the file is saved in
    bool stitchPicture = false; // pictures: a stitch's symbol being edited
    QDateTime changed;          // when the document was last changed
    qint64 pid = 0;             // the writing program
    QString writer;             // its token (see above)
};

// A copy found in the folder.
struct Entry {
    QString copyPath;
    QString descriptionPath; // may not exist
    Description description;
};

class Store {
public:
    explicit Store(QString folder);

    // "<per-user data folder>/Orvenal/Tessaplan-Designer/Wiederherstellung/".
    static QString defaultFolder();
    // The folder, ending in a separator.
    const QString& folder() const { return folder_; }

    // This program's writer token, and whether the program of a token still runs.
    static QString processToken();
    static bool isRunning(const QString& token);

    // A name (without extension) no other document of any running program uses.
    QString newBase() const;
    static QString copySuffix(Kind kind);
    static QString descriptionSuffix();

    // Writes the description of the copy named `base` atomically; false when that failed.
    bool writeDescription(const QString& base, const Description& description) const;
    // Reads a description; false when it is missing or unreadable.
    static bool readDescription(const QString& path, Description& description);

    // Copies written by programs that no longer run, newest first; only pictures when
    // `picturesOnly`. A copy without a readable description is listed as a document without a
    // name. Unfinished temporary files of those programs go, and descriptions without a copy.
    std::vector<Entry> orphans(bool picturesOnly) const;

    // Removes the copy and its description.
    static void remove(const Entry& entry);
    static void removeBase(const QString& base);
    // Moves a copy that cannot be read, with its description, into the sub-folder
    // "beschaedigt"; returns the copy's new path (empty when it could not be moved).
    QString keepAside(const Entry& entry) const;

    // Holds the folder for one program while it offers and restores copies, so that two
    // programs started at once never restore the same copy twice.
    class Lock {
    public:
        explicit Lock(const Store& store);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;
        bool held() const { return fd_ >= 0; }

    private:
        int fd_ = -1;
    };

private:
    QString folder_;
};

} // namespace recovery
