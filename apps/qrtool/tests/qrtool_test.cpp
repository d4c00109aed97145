// qrtool through its real executable: round trips, parallel decoding in
// input order, exit statuses, JSON output and bad files.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

Outcome Exec(const std::string& arguments) {
    Outcome r;
    const std::string command = std::string(QRTOOL_PATH) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    char buf[4096];
    size_t got;
    while ((got = fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, got);
    const int raw = pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

class QrtoolTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("qrtool_test_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    fs::path dir_;
};

TEST_F(QrtoolTest, RoundTripThroughBmpAtEveryLevel) {
    const char* levels[] = {"L", "M", "Q", "H"};
    for (const char* level : levels) {
        const std::string file = Path(std::string("sym_") + level + ".bmp");
        const std::string text = std::string("Round trip at level ") + level;
        Outcome enc = Exec("encode -l " + std::string(level) + " -o " + Quote(file) + " " + Quote(text));
        ASSERT_EQ(enc.status, 0) << enc.out;
        Outcome dec = Exec("decode " + Quote(file));
        EXPECT_EQ(dec.status, 0) << dec.out;
        EXPECT_NE(dec.out.find("text: " + text), std::string::npos) << dec.out;
        EXPECT_NE(dec.out.find(std::string("level ") + level), std::string::npos) << dec.out;
    }
}

TEST_F(QrtoolTest, FixedVersionAndMaskAreReported) {
    const std::string file = Path("v7.bmp");
    ASSERT_EQ(Exec("encode -v 7 -m 4 -o " + Quote(file) + " hello").status, 0);
    Outcome dec = Exec("decode " + Quote(file));
    EXPECT_EQ(dec.status, 0) << dec.out;
    EXPECT_NE(dec.out.find("version 7, level L, mask 3"), std::string::npos) << dec.out;
}

TEST_F(QrtoolTest, ManyFilesOnSeveralThreadsComeOutInInputOrder) {
    std::string files;
    for (int i = 0; i < 12; ++i) {
        const std::string file = Path("many_" + std::to_string(i) + ".bmp");
        ASSERT_EQ(Exec("encode -o " + Quote(file) + " item-" + std::to_string(i)).status, 0);
        files += " " + Quote(file);
    }
    Outcome dec = Exec("decode -j 4" + files);
    ASSERT_EQ(dec.status, 0) << dec.out;
    size_t at = 0;
    for (int i = 0; i < 12; ++i) {
        const size_t found = dec.out.find("text: item-" + std::to_string(i) + "\n", at);
        ASSERT_NE(found, std::string::npos) << "item " << i << " missing or out of order:\n" << dec.out;
        at = found;
    }
}

TEST_F(QrtoolTest, ExitStatusTellsFoundNothingFoundAndFileErrors) {
    const std::string good = Path("good.bmp"), blank = Path("blank.bmp"), text = Path("notes.png");
    ASSERT_EQ(Exec("encode -o " + Quote(good) + " present").status, 0);
    // White modules on white: a valid picture holding no symbol.
    ASSERT_EQ(Exec("encode --fg FFFFFF -o " + Quote(blank) + " absent").status, 0);
    std::ofstream(text) << "this is not a picture";

    EXPECT_EQ(Exec("decode " + Quote(good)).status, 0);
    Outcome none = Exec("decode " + Quote(good) + " " + Quote(blank));
    EXPECT_EQ(none.status, 1) << none.out;
    EXPECT_NE(none.out.find("no QR Code symbol found"), std::string::npos);

    Outcome missing = Exec("decode " + Quote(good) + " " + Quote(Path("nothing-here.bmp")));
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.out.find("file not found"), std::string::npos) << missing.out;

    Outcome unreadable = Exec("decode " + Quote(text));
    EXPECT_EQ(unreadable.status, 2);
    EXPECT_NE(unreadable.out.find("file format cannot be read"), std::string::npos) << unreadable.out;
}

TEST_F(QrtoolTest, JsonOutputIsOneParsableObjectPerFile) {
    const std::string a = Path("a.bmp"), b = Path("b.bmp");
    ASSERT_EQ(Exec("encode -l Q -o " + Quote(a) + " " + Quote("quote \" and \\ backslash")).status, 0);
    ASSERT_EQ(Exec("encode --fg FFFFFF -o " + Quote(b) + " x").status, 0);
    Outcome dec = Exec("decode --json " + Quote(a) + " " + Quote(b));
    ASSERT_EQ(dec.status, 1);
    const std::string json = Path("out.jsonl");
    std::ofstream(json) << dec.out;
    const std::string check =
        "python3 -c \"import json,sys; rows=[json.loads(l) for l in open(sys.argv[1])]; "
        "assert len(rows)==2; s=rows[0]['symbols'][0]; "
        "assert s['text']=='quote \\\" and \\\\\\\\ backslash', s['text']; assert s['level']=='Q'; "
        "assert len(s['corners'])==4; assert rows[1]['status']==0 and rows[1]['symbols']==[]\" " +
        Quote(json);
    EXPECT_EQ(std::system(check.c_str()), 0) << dec.out;
}

// Output that does not arrive (a full disk, a reader that went away) is an
// error: told on standard error, with a failure status.
TEST_F(QrtoolTest, OutputThatCannotBeWrittenIsAnError) {
    const std::string good = Path("good.bmp"), errors = Path("errors.txt");
    ASSERT_EQ(Exec("encode -o " + Quote(good) + " present").status, 0);
    const auto run = [&](const std::string& arguments, const std::string& output) {
        const int raw =
            std::system((std::string(QRTOOL_PATH) + " " + arguments + " " + output + " 2>" + Quote(errors)).c_str());
        std::ifstream in(errors);
        const std::string told((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_NE(told.find("cannot write the output"), std::string::npos) << arguments << ": " << told;
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    EXPECT_EQ(run("decode --json " + Quote(good), ">/dev/full"), 2);
    EXPECT_EQ(run("decode " + Quote(good), ">/dev/full"), 2);
    EXPECT_EQ(run("encode -o - grid", ">/dev/full"), 1);

    // A pipe whose reading end is closed everywhere.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    ASSERT_GE(dup2(ends[1], 9), 0);
    EXPECT_EQ(run("decode " + Quote(good), ">&9"), 2);
    close(9);
    close(ends[1]);
}

// Decoded data and file names reach a terminal with every control
// character escaped; JSON keeps them exactly.
TEST_F(QrtoolTest, TerminalControlsAreEscapedAndJsonKeepsThemExactly) {
    const std::string data =
        "a\x1b[31mred\xc2\x9b"
        "2J\x07\x7f end";  // ESC, CSI (U+009B), BEL, DEL
    const std::string file = Path("name\x1b]0;title\x07.bmp");
    ASSERT_EQ(Exec("encode -o " + Quote(file) + " " + Quote(data)).status, 0);
    Outcome text = Exec("decode " + Quote(file));
    ASSERT_EQ(text.status, 0) << text.out;
    for (const char* raw : {"\x1b", "\x07", "\x7f", "\xc2\x9b"}) {
        EXPECT_EQ(text.out.find(raw), std::string::npos) << text.out;
    }
    EXPECT_NE(text.out.find("name\\x1B]0;title\\x07.bmp: 1 symbol"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("text: a\\x1B[31mred\\u009B2J\\x07\\x7F end"), std::string::npos) << text.out;

    Outcome json = Exec("decode --json " + Quote(file));
    ASSERT_EQ(json.status, 0) << json.out;
    EXPECT_EQ(json.out.find("\x1b"), std::string::npos) << json.out;
    const std::string rows = Path("out.jsonl");
    std::ofstream(rows) << json.out;
    const std::string check =
        "python3 -c \"import json,sys; r=json.loads(open(sys.argv[1]).read()); "
        "assert r['file']==sys.argv[2], r['file']; "
        "assert r['symbols'][0]['text']==sys.argv[3], r['symbols'][0]['text']\" " +
        Quote(rows) + " " + Quote(file) + " " + Quote(data);
    EXPECT_EQ(std::system(check.c_str()), 0) << json.out;
}

TEST_F(QrtoolTest, WmfAndTerminalOutputs) {
    const std::string wmf = Path("sym.wmf");
    EXPECT_EQ(Exec("encode -o " + Quote(wmf) + " metafile").status, 0);
    ASSERT_TRUE(fs::exists(wmf));
    std::ifstream in(wmf, std::ios::binary);
    unsigned char key[4] = {};
    in.read(reinterpret_cast<char*>(key), 4);
    EXPECT_EQ(key[0], 0xD7);
    EXPECT_EQ(key[3], 0x9A);

    Outcome grid = Exec("encode -o - 12");
    EXPECT_EQ(grid.status, 0);
    EXPECT_NE(grid.out.find("\u2588"), std::string::npos);
    // Version 1 with a two-module margin: 25 module rows in 13 text lines.
    EXPECT_EQ(std::count(grid.out.begin(), grid.out.end(), '\n'), 13);
}

TEST_F(QrtoolTest, UsageErrorsAndHelp) {
    EXPECT_EQ(Exec("--help").status, 0);
    EXPECT_EQ(Exec("").status, 2);
    EXPECT_EQ(Exec("encode").status, 2);
    EXPECT_EQ(Exec("encode -l X hi").status, 2);
    EXPECT_EQ(Exec("encode -o out.png hi").status, 2);
    EXPECT_EQ(Exec("decode").status, 2);
    EXPECT_EQ(Exec("decode --count 40 x.bmp").status, 2);
    Outcome tooLong = Exec("encode -l H -o " + Quote(Path("long.bmp")) + " " + std::string(1300, 'x'));
    EXPECT_EQ(tooLong.status, 1);
    EXPECT_NE(tooLong.out.find("too long"), std::string::npos);
}

TEST_F(QrtoolTest, OutputThroughALinkReplacesTheTargetAndKeepsItsMode) {
    const std::string target = Path("target.bmp");
    const std::string link = Path("link.bmp");
    std::ofstream(target) << "old";
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(target, link);
    Outcome enc = Exec("encode -o " + Quote(link) + " linked");
    ASSERT_EQ(enc.status, 0) << enc.out;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_NE(Exec("decode " + Quote(link)).out.find("text: linked"), std::string::npos);

    // Something that is not a regular file, such as a device or this pipe,
    // is written in place, never replaced.
    const std::string pipe_path = Path("pipe.bmp");
    ASSERT_EQ(mkfifo(pipe_path.c_str(), 0600), 0);
    const int reader = open(pipe_path.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_EQ(Exec("encode -o " + Quote(pipe_path) + " piped").status, 0);  // 32 KB: fits the pipe's buffer
    char magic[2] = {};
    EXPECT_EQ(read(reader, magic, 2), 2);
    close(reader);
    EXPECT_EQ(std::string(magic, 2), "BM");
    EXPECT_TRUE(fs::is_fifo(pipe_path));
}

}  // namespace
