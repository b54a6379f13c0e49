// SPDX-License-Identifier: MIT
// Prepares the output folder of an album and its Data and Thumb subfolders, asking the user at most once
// per Create command whether existing files may be overwritten; tells camera folders apart.
//
// Result codes of the two Prepare operations: -1 failure, 0 go on, 6 the user answered Yes to the
// overwrite question, 7 the user answered No. A failure carries the errno of the operation that failed
// (0 when a rule refused the path) so that the caller can tell "cannot be written to" from other errors.
// Nothing here deletes, renames or empties anything; folders made before a failure stay.
//
// Ownership: the message service is referenced and must outlive this object. Thread-safety: none;
// the user-interface thread only.
#pragma once

#include <string>

#include "platform/messageservice.h"
#include "platform/mountinfo.h"

namespace aw {

enum FolderCode : int { FolderFailed = -1, FolderGoOn = 0, FolderYes = 6, FolderNo = 7 };

struct FolderResult {
    int code = FolderGoOn;
    int error = 0; // errno with FolderFailed; 0 for a refused path
};

class OutputFolders {
public:
    explicit OutputFolders(MessageService& questions, MountInfo mounts = MountInfo());

    // Create sets the question pending at its start; whoever asks clears it first. An update of an album
    // its record proves to be this program's settles it without asking.
    void ResetOverwriteQuestion() { questionPending_ = true; }
    void SettleOverwriteQuestion() { questionPending_ = false; }
    bool overwriteQuestionPending() const { return questionPending_; }
    // Clears the pending flag and asks question 430; true for Yes. Asks nothing (and answers Yes)
    // when the question was already asked in this Create command.
    bool AskOverwriteQuestion();

    // A file or folder (or link) of exactly that name exists.
    static bool PathExists(const std::string& path);
    // Every absolute path has its "drive": there are no drive letters here.
    static bool DriveExists(const std::string& path);
    // "/" is the only root.
    static bool IsDriveRoot(const std::string& path);

    // The first folder below the mount point that holds `path` is DCIM or DCMV (any case). False for a
    // relative path or one over the system's limit.
    bool IsCameraFolder(const std::string& path) const;

    // Leading blanks dropped; a doubled "/" or a relative path refused, one over the system's limit fails
    // with ENAMETOOLONG; "/" goes on; an existing folder asks the overwrite question; a missing one is
    // created with its parents.
    FolderResult PrepareOutputFolder(const std::string& outputFolder);

    // Makes `outputFolder`/Data and, without the arrangement marker, `outputFolder`/Thumb (one level
    // each). The paths come back without a closing "/"; thumbPath stays empty with the marker. A symbolic
    // link in the place of either fails with ELOOP: the run would write, and a prune remove, through it.
    FolderResult PrepareMediaFolders(const std::string& outputFolder, int arrangementMarker,
                                     std::string& dataPath, std::string& thumbPath);

    // `outputFolder`/`pageName` exists (Index.html when none is named).
    static bool IndexPageExists(const std::string& outputFolder, const std::string& pageName = {});

    // The desktop folder instead of a camera folder; any other folder unchanged.
    std::string ChooseInitialFolder(const std::string& folder) const;

private:
    MessageService& questions_;
    MountInfo mounts_;
    bool questionPending_ = true;
};

// The text without its leading blanks and tabs.
std::string WithoutLeadingBlanks(const std::string& text);

// "~" alone or before "/" stands for the home folder ($HOME, else the user's entry in the password
// database), as in every shell; any other text, "~user/" included, is returned unchanged.
std::string ExpandHomeFolder(const std::string& text);

} // namespace aw
