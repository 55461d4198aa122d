// Saving over what the user set up: links, permissions and owners survive,
// long names fit, and no temporary file outlives a failed or interrupted save.
#include "files/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "files/atomic_write.h"
#include "files/settings_file.h"

namespace zrk::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct stat statOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info;
}

// Each case prepares what the user has, then saves to `saveTo`; the bytes
// must land in `lands`, with the mode and owner that file had.
TEST(AtomicFile, SavingWritesThroughLinksAndKeepsModeAndOwner) {
    struct Case {
        const char* name;
        const char* saveTo;  // in folder "a"
        const char* link;    // what a/<saveTo> points to, or nullptr for a plain file
        const char* lands;   // relative to the test's folder
        mode_t mode;         // of the existing file (0: none exists)
    };
    const Case cases[] = {
        {"plain file 0640", "f.zrk", nullptr, "a/f.zrk", 0640},
        {"plain file 0600", "f.zrk", nullptr, "a/f.zrk", 0600},
        {"relative link to another folder", "f.zrk", "../b/real.zrk", "b/real.zrk", 0640},
        {"absolute link", "f.zrk", "ABS", "b/real.zrk", 0604},
        {"link to a link", "f.zrk", "g.zrk", "b/real.zrk", 0640},  // a/g.zrk -> ../b/real.zrk
        {"dangling link", "f.zrk", "../b/new.zrk", "b/new.zrk", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const fs::path root = folder.path();
        fs::create_directories(root / "a");
        fs::create_directories(root / "b");
        const fs::path lands = root / c.lands;
        if (c.mode != 0) {
            folder.write(c.lands, "old");
            ASSERT_EQ(::chmod(lands.c_str(), c.mode), 0);
            ASSERT_EQ(::chown(lands.c_str(), 1234, 5678), 0);  // the tests run as root
        }
        const fs::path saveTo = root / "a" / c.saveTo;
        if (c.link) {
            const std::string linkText = c.link;
            if (linkText == "ABS")
                fs::create_symlink(lands, saveTo);
            else if (linkText == "g.zrk") {
                fs::create_symlink("../b/real.zrk", root / "a" / "g.zrk");
                fs::create_symlink("g.zrk", saveTo);
            } else
                fs::create_symlink(linkText, saveTo);
        }

        {
            files::AtomicFile file(saveTo);
            EXPECT_TRUE(fs::equivalent(file.temporaryPath().parent_path(), lands.parent_path()))
                << "beside the real file";
            EXPECT_TRUE(fs::exists(file.temporaryPath()));
            EXPECT_LE(file.temporaryPath().filename().string().size(), 10u);
            file.write("new content");
            file.commit();
        }
        EXPECT_EQ(folder.read(c.lands), "new content");
        if (c.link) {
            EXPECT_TRUE(fs::is_symlink(saveTo)) << "the link stays a link";
        }
        const struct stat info = statOf(lands);
        if (c.mode != 0) {
            EXPECT_EQ(info.st_mode & 07777, c.mode);
            EXPECT_EQ(info.st_uid, 1234u);
            EXPECT_EQ(info.st_gid, 5678u);
        } else {
            EXPECT_EQ(info.st_uid, ::geteuid());
        }
        // Nothing else appeared in either folder.
        for (const char* sub : {"a", "b"})
            for (const auto& name : namesIn(root / sub)) EXPECT_NE(name.rfind(".zrk", 0), 0u) << name;
    }
}

TEST(AtomicFile, TheSettingsFileIsSavedThroughItsLinkWithItsMode) {
    TempFolder folder;
    fs::create_directories(folder.path() / "etc");
    folder.write("etc/zrk.ini", "1\r\n0\r\n0\r\n\"1\"\r\n0\r\n");
    ASSERT_EQ(::chmod((folder.path() / "etc/zrk.ini").c_str(), 0640), 0);
    fs::create_symlink("etc/zrk.ini", folder.path() / "zrk.ini");
    files::writeSettingsFile(folder.path() / "zrk.ini", {4, 0, 0, "34", 0});
    EXPECT_TRUE(fs::is_symlink(folder.path() / "zrk.ini"));
    EXPECT_EQ(folder.read("etc/zrk.ini"), "4\r\n0\r\n0\r\n\"34\"\r\n0\r\n");
    EXPECT_EQ(statOf(folder.path() / "etc/zrk.ini").st_mode & 07777, 0640u);
}

// Names up to the file system's limit of 255 bytes save; the temporary name
// must not push past it.
TEST(AtomicFile, NamesUpToTheLengthLimitAreSaved) {
    for (const std::size_t length : {250u, 254u, 255u}) {
        TempFolder folder;
        const std::string name = std::string(length - 4, 'n') + ".zrk";
        files::writeFileAtomically(folder.path() / name, "saved");
        EXPECT_EQ(folder.read(name), "saved") << length;
        EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{name}) << length;
    }
    TempFolder folder;
    EXPECT_THROW(files::writeFileAtomically(folder.path() / std::string(256, 'n'), "x"), files::FileError);
    EXPECT_TRUE(namesIn(folder.path()).empty());
}

// In a child process, so that the signal and the limit end only the child.
template <typename Body>
int inChild(Body body) {
    const pid_t child = ::fork();
    if (child == 0) {
        int code = 99;
        try {
            code = body();
        } catch (...) {
            code = 98;
        }
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

TEST(AtomicFile, AnInterruptedSaveLeavesNoTemporaryFile) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        TempFolder folder;
        folder.write("f.zrk", "old");
        const int status = inChild([&] {
            files::removeTemporaryFilesOnSignals();
            files::AtomicFile file(folder.path() / "f.zrk");
            file.write("half of it");
            if (namesIn(folder.path()).size() != 2) return 1;  // the temporary file is there
            ::raise(signal);
            return 0;
        });
        ASSERT_TRUE(WIFSIGNALED(status)) << signal << " status " << status;
        EXPECT_EQ(WTERMSIG(status), signal) << "the process still ends by the signal";
        EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"f.zrk"}) << signal;
        EXPECT_EQ(folder.read("f.zrk"), "old");
    }
}

TEST(AtomicFile, AFileSizeLimitIsAnErrorNotTheEnd) {
    TempFolder folder;
    folder.write("f.zrk", "old");
    const int status = inChild([&] {
        files::removeTemporaryFilesOnSignals();
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 100;
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            files::writeFileAtomically(folder.path() / "f.zrk", std::string(5000, 'x'));
        } catch (const files::FileError& e) {
            return std::string(e.what()).find("larger than this process may write") != std::string::npos ? 0 : 2;
        }
        return 3;
    });
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"f.zrk"});
    EXPECT_EQ(folder.read("f.zrk"), "old");
}

}  // namespace
}  // namespace zrk::test
