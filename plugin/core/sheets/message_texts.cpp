// This file is OS-independent.
#include "plugin/core/sheets/message_texts.h"

#include <array>

#include "common/strings/capacity.h"

namespace kit::plugin::sheets {
namespace {

constexpr MessageKey kMessages[kMessageCount] = {
    {u"MB_LAYOUT_INFORMATION1", u"All Text will be printed as graphics image!"},
    {u"MB_LAYOUT_VIEWER", u"Not fount LOGViewer!"},
    {u"MB_OPERATION_ERROR1", u"Command length error!"},
    {u"MB_UTILITY_ERROR1", u"Set custom paper size failed!"},
    {u"MB_1DCODE_ERROR1", u"BarCode data error!"},
    {u"MB_2DCODE_ERROR1", u"BarCode data error!"},
    {u"MB_WATERMARK_ERROR1", u"The specified file does not exist!"},
    {u"MB_WATERMARK_ERROR2", u"Please check if user has administrator privileges!"},
    {u"MB_WATERMARK_ERROR4", u"The bitmap you selected is too big!"},
    {u"MB_WATERMARK_ERROR5", u"Make sure the specified bitmap is 1/8/24/ bits!"},
    {u"MB_WATERMARK_ERROR6", u"No filename is specified!"},
    {u"MB_WATERMARK_INFORMATION1", u"All Text will be printed as graphics image!"},
    {u"MB_DOWNLOAD_ERROR1", u"Fail to open the selected file!"},
    {u"MB_DOWNLOAD_ERROR2", u"Failed to get data from the file!"},
    {u"MB_DOWNLOAD_ERROR3",
     u"The image is too big to be selected.\nthe width must be less than 1024 Byte,and the height must be less "
     u"than 768 Byte!"},
    {u"MB_DOWNLOAD_ERROR4",
     u"The total counts of the logos is 9,\nplease delete some logos before selecting another logo!"},
    {u"MB_DOWNLOAD_ERROR5", u"Please select logos first!"},
    {u"MB_DOWNLOAD_ERROR6", u"Failed to get the size of logo!"},
    {u"MB_DOWNLOAD_ERROR7", u"The total sizes of all the logos is greater 96K!"},
    {u"MB_DOWNLOAD_ERROR8", u"Failed to get the size of the selected file!"},
    {u"MB_DOWNLOAD_ERROR9", u"Failed to Alloc the required memory!"},
    {u"MB_DOWNLOAD_ERROR10", u"Failed to set the file point to the head of the file!"},
};

constexpr MessageKey kTitles[3] = {
    {u"MB_INFORMATION", u"Information"},
    {u"MB_WARNING", u"Warning"},
    {u"MB_ERROR", u"Error"},
};

// Module-wide text buffers, shared by every sheet of the process; they keep
// the last loaded language.
struct LoadedTexts {
  LoadedTexts() {
    for (int i = 0; i < kMessageCount; ++i) messages[i] = kMessages[i].builtin;
    for (int i = 0; i < 3; ++i) titles[i] = kTitles[i].builtin;
  }
  std::array<std::u16string, kMessageCount> messages;
  std::array<std::u16string, 3> titles;
};

LoadedTexts& Loaded() {
  static LoadedTexts texts;
  return texts;
}

}  // namespace

MessageKey KeyOf(Message message) { return kMessages[static_cast<int>(message)]; }
MessageKey KeyOf(MessageTitle title) { return kTitles[static_cast<int>(title)]; }

void LoadMessageTexts(const CurrentTexts& texts) {
  LoadedTexts& loaded = Loaded();
  for (int i = 0; i < kMessageCount; ++i)
    loaded.messages[i] = texts.Get(kMessageSection, kMessages[i].key, kMessages[i].builtin, kMessageCapacity);
  for (int i = 0; i < 3; ++i)
    loaded.titles[i] = texts.Get(kMessageSection, kTitles[i].key, kTitles[i].builtin, kMessageCapacity);
}

std::u16string TextOf(Message message) { return Loaded().messages[static_cast<int>(message)]; }
std::u16string TextOf(MessageTitle title) { return Loaded().titles[static_cast<int>(title)]; }

int ShowMessage(ui::Window& page, Message message, MessageTitle title, std::uint32_t style) {
  return page.MessageBox(TextOf(message), TextOf(title), style);
}

}  // namespace kit::plugin::sheets
