// The kit's own rules of the profile reader and writer beyond what the
// Windows comparison covers: other code pages, encodings, in-place edits,
// host files and bad input.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "common/ini/profile.h"
#include "common/ini/profile_edit.h"
#include "common/ini/profile_file.h"

namespace kit::ini {
namespace {

using namespace std::string_literals;
using codepage::CodePage;

const ProfileOptions kChinese{CodePage::kSimplifiedChinese, true};

// ------------------------------------------------------------ reading ----

TEST(ProfileAnsi, ChineseNamesAreComparedAsCharactersNotBytes) {
  // 0x81 0x41 and 0x81 0x61 are two different characters in code page 936
  // whose trail bytes differ only in ASCII case.
  const Profile profile = Profile::Parse("[\x81\x41]\r\nk=first\r\n[\x81\x61]\r\nk=second\r\n",
                                         kChinese);
  EXPECT_EQ(profile.GetStringA("\x81\x61", "K", "", 50), "second");
  EXPECT_EQ(profile.GetStringA("\x81\x41", "k", "", 50), "first");
}

TEST(ProfileAnsi, ByteCapacityNeverEndsInsideADoubleByteCharacter) {
  // "中文" is four bytes in code page 936.
  const Profile profile = Profile::Parse("[s]\r\nk=\xD6\xD0\xCE\xC4\r\n", kChinese);
  EXPECT_EQ(profile.GetStringA("s", "k", "", 5), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(profile.GetStringA("s", "k", "", 4), "\xD6\xD0");
  EXPECT_EQ(profile.GetStringA("s", "k", "", 3), "\xD6\xD0");
  EXPECT_EQ(profile.GetStringA("s", "k", "", 2), "");
  EXPECT_EQ(profile.GetStringA("s", "k", "", 0), "");
  EXPECT_EQ(profile.GetString(u"s", u"k", u"", 50), u"\u4E2D\u6587");
}

TEST(ProfileAnsi, Big5TrailBytesThatLookLikeBracketsDoNotEndASectionName) {
  // 0xA4 0x5D is a character of code page 950 whose trail byte is ']'.
  const ProfileOptions big5{CodePage::kTraditionalChinese, false};
  const Profile profile = Profile::Parse("[A\xA4\x5D]\r\nk=v\r\n", big5);
  EXPECT_EQ(profile.GetStringA("A\xA4\x5D", "k", "d", 50), "v");
}

TEST(ProfileEncodings, EveryStoredFormReadsTheSame) {
  const std::u16string text = u"[s]\r\nk=\u00E9t\u00E9\r\n";
  std::string utf16be = "\xFE\xFF";
  for (const char16_t unit : text) {
    utf16be.push_back(static_cast<char>(unit >> 8));
    utf16be.push_back(static_cast<char>(unit & 0xFF));
  }
  const std::string forms[] = {
      EncodeProfileText(text, TextEncoding::kAnsi, CodePage::kWestern),
      EncodeProfileText(text, TextEncoding::kUtf8, CodePage::kWestern),
      EncodeProfileText(text, TextEncoding::kUtf8WithBom, CodePage::kWestern),
      EncodeProfileText(text, TextEncoding::kUtf16Le, CodePage::kWestern),
      utf16be,
  };
  const TextEncoding detected[] = {TextEncoding::kAnsi, TextEncoding::kUtf8,
                                   TextEncoding::kUtf8WithBom, TextEncoding::kUtf16Le,
                                   TextEncoding::kUtf16Be};
  for (std::size_t i = 0; i < std::size(forms); ++i) {
    const Profile profile = Profile::Parse(forms[i]);
    EXPECT_EQ(profile.encoding(), detected[i]) << i;
    EXPECT_EQ(profile.GetString(u"S", u"K", u"", 50), u"\u00E9t\u00E9") << i;
  }
  EXPECT_EQ(EncodeProfileText(text, TextEncoding::kUtf16Be, CodePage::kWestern), utf16be);
}

TEST(ProfileEncodings, Utf8WithoutMarkOnlyWhenWellFormedAndAskedFor) {
  const std::string utf8 = "[s]\r\nk=\xC3\xA9\r\n";
  EXPECT_EQ(Profile::Parse(utf8).GetString(u"s", u"k", u"", 50), u"\u00E9");
  const ProfileOptions as_windows{CodePage::kWestern, false};
  EXPECT_EQ(Profile::Parse(utf8, as_windows).GetString(u"s", u"k", u"", 50), u"\u00C3\u00A9");
  // Not well-formed UTF-8: the ANSI code page.
  EXPECT_EQ(Profile::Parse("[s]\r\nk=\xE9t\xE9\r\n").GetString(u"s", u"k", u"", 50),
            u"\u00E9t\u00E9");
}

TEST(ProfileEncodings, OddOrCutUtf16FilesStillRead) {
  // A UTF-16LE file with a stray last byte, and one that is only a mark.
  std::string bytes = EncodeProfileText(u"[s]\r\nk=v", TextEncoding::kUtf16Le, CodePage::kWestern);
  bytes.push_back('\x41');
  EXPECT_EQ(Profile::Parse(bytes).GetString(u"s", u"k", u"d", 50), u"v");
  EXPECT_EQ(Profile::Parse("\xFF\xFE").GetString(u"s", u"k", u"d", 50), u"d");
  EXPECT_EQ(Profile::Parse("\xFF").GetString(u"s", u"k", u"d", 50), u"d");
}

TEST(ProfileBadInput, HugeFilesAndLinesOfAnyLength) {
  std::string bytes;
  for (int i = 0; i < 20000; ++i) {
    bytes += "[section" + std::to_string(i) + "]\r\nkey=" + std::to_string(i) + "\r\n";
  }
  bytes += "[last]\r\nkey=" + std::string(1 << 20, 'z') + "\r\n";
  const Profile profile = Profile::Parse(bytes);
  EXPECT_EQ(profile.GetInt(u"section19999", u"key", -1), 19999u);
  EXPECT_EQ(profile.GetString(u"last", u"key", u"", 1024), std::u16string(1023, u'z'));
  // A single line with no break at all.
  EXPECT_EQ(Profile::Parse(std::string(1 << 20, '[')).GetString(u"s", u"k", u"d", 8), u"d");
}

// ------------------------------------------------------------ editing ----

TEST(ProfileEdit, EditsInPlaceKeepingCommentsBlankLinesAndBreaks) {
  // The changed line itself is rewritten as key=value, as Windows writes it.
  const std::string start =
      "; kit settings\r\n"
      "[A]\r\n"
      "  x = 1   ; not a comment\r\n"
      "\r\n"
      "[B]\n"
      "y=2\n"
      "\n";
  ProfileEdit edit = EditProfile(start, u"a", u"X", u"9");
  EXPECT_TRUE(edit.changed);
  EXPECT_EQ(edit.bytes,
            "; kit settings\r\n"
            "[A]\r\n"
            "x=9\r\n"
            "\r\n"
            "[B]\n"
            "y=2\n"
            "\n");
  edit = EditProfile(edit.bytes, u"A", u"new", u"  5");
  EXPECT_EQ(edit.bytes,
            "; kit settings\r\n"
            "[A]\r\n"
            "x=9\r\n"
            "new=5\r\n"
            "\r\n"
            "[B]\n"
            "y=2\n"
            "\n");
  edit = EditProfile(edit.bytes, u"B", u"y", std::nullopt);
  EXPECT_EQ(edit.bytes,
            "; kit settings\r\n"
            "[A]\r\n"
            "x=9\r\n"
            "new=5\r\n"
            "\r\n"
            "[B]\n"
            "\n");
  edit = EditProfile(edit.bytes, u"C", u"z", u"3");
  EXPECT_EQ(edit.bytes,
            "; kit settings\r\n"
            "[A]\r\n"
            "x=9\r\n"
            "new=5\r\n"
            "\r\n"
            "[B]\n"
            "\n"
            "[C]\r\n"
            "z=3\r\n");
}

TEST(ProfileEdit, UnchangedValuesAndAbsentKeysLeaveTheFileAlone) {
  const std::string start = "[A]\r\nx=1\r\n";
  EXPECT_FALSE(EditProfile(start, u"A", u"x", u"1").changed);
  EXPECT_FALSE(EditProfile(start, u"A", u"y", std::nullopt).changed);
  EXPECT_FALSE(EditProfile(start, u"Z", u"x", std::nullopt).changed);
  EXPECT_EQ(EditProfile(start, u"A", u"y", std::nullopt).bytes, start);
}

TEST(ProfileEdit, AFileWithoutFinalBreakGetsOneBeforeTheNewLine) {
  EXPECT_EQ(EditProfile("[A]\r\nx=1", u"A", u"y", u"2").bytes, "[A]\r\nx=1\r\ny=2\r\n");
  EXPECT_EQ(EditProfile("[A]", u"B", u"y", u"2").bytes, "[A]\r\n[B]\r\ny=2\r\n");
  EXPECT_EQ(EditProfile("", u"App", u"key", u"").bytes, "[App]\r\nkey=\r\n");
}

TEST(ProfileEdit, OnlyTheFirstOfDuplicateKeysIsChangedOrDeleted) {
  const std::string start = "[A]\r\nk=1\r\nk=2\r\n";
  EXPECT_EQ(EditProfile(start, u"A", u"k", u"9").bytes, "[A]\r\nk=9\r\nk=2\r\n");
  const ProfileEdit deleted = EditProfile(start, u"A", u"k", std::nullopt);
  EXPECT_EQ(deleted.bytes, "[A]\r\nk=2\r\n");
  EXPECT_EQ(Profile::Parse(deleted.bytes).GetString(u"A", u"k", u"", 10), u"2");
}

TEST(ProfileEdit, TheFilesEncodingIsKept) {
  const std::u16string text = u"[s]\r\nk=v\r\n";
  for (const TextEncoding encoding :
       {TextEncoding::kUtf16Le, TextEncoding::kUtf16Be, TextEncoding::kUtf8WithBom}) {
    const std::string bytes = EncodeProfileText(text, encoding, CodePage::kWestern);
    const ProfileEdit edit = EditProfile(bytes, u"s", u"k", u"\u4E2D");
    EXPECT_EQ(edit.bytes,
              EncodeProfileText(u"[s]\r\nk=\u4E2D\r\n", encoding, CodePage::kWestern));
  }
  // An ANSI file in code page 936 stays in code page 936.
  const ProfileEdit gbk = EditProfileA("[s]\r\nk=v\r\n", "s", "k", "\xD6\xD0\xCE\xC4", kChinese);
  EXPECT_EQ(gbk.bytes, "[s]\r\nk=\xD6\xD0\xCE\xC4\r\n");
}

TEST(ProfileEdit, OnlyTheNamedLineChangesWhateverBytesTheOthersHold) {
  const ProfileOptions western{CodePage::kWestern, true};
  const ProfileOptions big5{CodePage::kTraditionalChinese, true};
  struct Case {
    const char* name;
    ProfileOptions options;
    std::string start;
    const char16_t* section;
    const char16_t* key;
    std::optional<std::u16string_view> value;
    std::string expected;
  };
  const Case cases[] = {
      {"UTF-8 with mark, a line that does not decode", western,
       "\xEF\xBB\xBF[s]\r\nraw=\xFF\xC3(\r\nk=1\r\n", u"s", u"k", u"2",
       "\xEF\xBB\xBF[s]\r\nraw=\xFF\xC3(\r\nk=2\r\n"},
      {"936, a cut double-byte character and an unmapped pair", kChinese,
       "[s]\r\ncut=\xD6\r\nbad=\x81\x7F!\r\nk=1\r\n", u"s", u"k", u"\u4E2D",
       "[s]\r\ncut=\xD6\r\nbad=\x81\x7F!\r\nk=\xD6\xD0\r\n"},
      {"936, a key added after an undecodable line", kChinese,
       "[s]\nbad=\x81\x7F\n\n[t]\n", u"s", u"new", u"1",
       "[s]\nbad=\x81\x7F\nnew=1\r\n\n[t]\n"},
      {"950, a line deleted between undecodable ones", big5,
       "[s]\r\na=\xA4\r\nk=1\r\nb=\xFF\xFF\r\n", u"s", u"k", std::nullopt,
       "[s]\r\na=\xA4\r\nb=\xFF\xFF\r\n"},
      {"ANSI, a new section after a last line without break", western,
       "[s]\r\nx=caf\xE9\x81", u"t", u"k", u"v",
       "[s]\r\nx=caf\xE9\x81\r\n[t]\r\nk=v\r\n"},
      {"UTF-16LE, an unpaired surrogate and a stray last byte", western,
       std::string("\xFF\xFE[\0s\0]\0\n\0x\0=\0\x00\xD8\n\0\x41", 19), u"u", u"k", u"v",
       std::string("\xFF\xFE[\0s\0]\0\n\0x\0=\0\x00\xD8\n\0"
                   "[\0u\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0\x41", 39)},
  };
  for (const Case& c : cases) {
    const ProfileEdit edit = EditProfile(c.start, c.section, c.key, c.value, c.options);
    EXPECT_TRUE(edit.changed) << c.name;
    EXPECT_EQ(edit.bytes, c.expected) << c.name;
  }
}

// --------------------------------------------------------- host files ----

class HostFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("kit_ini_host_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::u16string Path(const char* name) const { return (folder_ / name).u16string(); }

  std::filesystem::path folder_;
  HostFileSource files_;
};

TEST_F(HostFilesTest, WritesCreateTheFileAndReadsFindIt) {
  const std::u16string path = Path("setup.ini");
  EXPECT_EQ(ReadProfileString(files_, path, u"DEVICENAME", u"DEVICENUMBER", u"0", 200), u"0");
  EXPECT_TRUE(WriteProfileValue(files_, path, u"DEVICENAME", u"DEVICENUMBER", u"3"));
  EXPECT_EQ(ReadProfileInt(files_, path, u"devicename", u"devicenumber", 0), 3u);
  EXPECT_EQ(files_.Read(path).value_or(""), "[DEVICENAME]\r\nDEVICENUMBER=3\r\n");
  EXPECT_TRUE(WriteProfileValue(files_, path, u"DEVICENAME", u"DEVICENUMBER", std::nullopt));
  EXPECT_EQ(ReadProfileInt(files_, path, u"DEVICENAME", u"DEVICENUMBER", 7), 7u);
}

TEST_F(HostFilesTest, AnsiCallsTakeTheirPathInTheCodePage) {
  const std::u16string wide = Path("uninstall.ini");
  const std::string narrow = codepage::Utf16ToAnsi(wide, CodePage::kWestern);
  EXPECT_TRUE(WriteProfileValueA(files_, narrow, "KVPRINTER", "PRINTERNUM", "2"));
  EXPECT_EQ(ReadProfileStringA(files_, narrow, "KVPRINTER", "PRINTERNUM", "0", 30), "2");
  EXPECT_EQ(ReadProfileIntA(files_, narrow, "KVPRINTER", "PRINTERNUM", 0), 2u);
}

TEST_F(HostFilesTest, AFolderOrAPathNoFileCanHaveReadsAsMissingAndFailsAWrite) {
  const std::u16string folder = Path("");
  const std::u16string unpaired = Path("x") + char16_t(0xD800) + u".ini";
  for (const std::u16string& path : {folder, unpaired}) {
    EXPECT_FALSE(files_.Read(path).has_value());
    EXPECT_EQ(ReadProfileString(files_, path, u"s", u"k", u"d", 10), u"d");
    EXPECT_EQ(ReadProfileInt(files_, path, u"s", u"k", 7), 7u);
    EXPECT_FALSE(WriteProfileValue(files_, path, u"s", u"k", u"v"));
  }
  EXPECT_TRUE(std::filesystem::is_directory(folder_));
}

TEST_F(HostFilesTest, AWriteIntoAMissingFolderFails) {
  const std::u16string path = Path("no_such_folder/x.ini");
  EXPECT_FALSE(WriteProfileValue(files_, path, u"s", u"k", u"v"));
  EXPECT_EQ(ReadProfileString(files_, path, u"s", u"k", u"d", 10), u"d");
  EXPECT_FALSE(files_.Read(u"").has_value());
}

}  // namespace
}  // namespace kit::ini
