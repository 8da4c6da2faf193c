// This file is OS-independent.
#include "monitors/portui/port_ui_texts.h"

#include <optional>

#include "platform/win32_errors.h"
#include "plugin/core/language/language_files.h"

namespace kit::monitors {
namespace {

// A REG_SZ value of an open key; nothing when it cannot be read.
std::optional<WString> ReadText(RegistryKey& key, WStringView name) {
  WString text;
  if (key.GetString(name, &text) != win32::kErrorSuccess) return std::nullopt;
  return text;
}

PortUiTexts English() {
  PortUiTexts t;
  t.caption = u"Configure Port";
  t.port = u"Port:";
  t.baud = u"Bits per second:";
  t.data_bits = u"Data bits:";
  t.parity = u"Parity:";
  t.stop_bits = u"Stop bits:";
  t.flow = u"Flow control:";
  t.parity_names = {u"None", u"Odd", u"Even", u"Mark", u"Space"};
  t.flow_names = {u"Hardware", u"Xon / Xoff", u"None"};
  t.ok = u"OK";
  t.cancel = u"Cancel";
  t.close = u"Close";
  t.defaults = u"Restore Defaults";
  t.read_only = u"Only an administrator can change these settings.";
  t.bad_combination =
      u"These settings cannot be used together: 1.5 stop bits need 5 data bits, and 2 stop bits need 6 or more.";
  t.open_failed = u"The port monitor \"%1\" could not be reached (error %2: %3).";
  t.read_failed = u"The settings of %1 could not be read (error %2: %3).";
  t.write_failed = u"The settings of %1 could not be stored (error %2: %3).";
  t.damaged =
      u"The stored settings of %1 cannot be used (error %2: %3). The port's defaults are shown; OK stores them.";
  t.not_a_port = u"%1 is not a port of this monitor (error %2: %3).";
  t.index = u"Port index:";
  t.prints_to = u"Prints to:";
  t.printer_rule = u"The printer whose USB id is %2, %3, %4, ... (USB id divided by 8 leaves %5).";
  t.no_settings = u"This port has no settings to change.";
  return t;
}

PortUiTexts SimplifiedChinese() {
  PortUiTexts t;
  t.caption = u"\u914D\u7F6E\u7AEF\u53E3";                          // 配置端口
  t.port = u"\u7AEF\u53E3:";                                          // 端口:
  t.baud = u"\u6BCF\u79D2\u4F4D\u6570:";                              // 每秒位数:
  t.data_bits = u"\u6570\u636E\u4F4D:";                               // 数据位:
  t.parity = u"\u5947\u5076\u6821\u9A8C:";                            // 奇偶校验:
  t.stop_bits = u"\u505C\u6B62\u4F4D:";                               // 停止位:
  t.flow = u"\u6D41\u63A7\u5236:";                                    // 流控制:
  t.parity_names = {u"\u65E0", u"\u5947", u"\u5076", u"\u6807\u8BB0", u"\u7A7A\u683C"};  // 无 奇 偶 标记 空格
  t.flow_names = {u"\u786C\u4EF6", u"Xon / Xoff", u"\u65E0"};         // 硬件 Xon / Xoff 无
  t.ok = u"\u786E\u5B9A";                                             // 确定
  t.cancel = u"\u53D6\u6D88";                                         // 取消
  t.close = u"\u5173\u95ED";                                          // 关闭
  t.defaults = u"\u8FD8\u539F\u9ED8\u8BA4\u503C";                     // 还原默认值
  // 只有管理员可以更改这些设置。
  t.read_only = u"\u53EA\u6709\u7BA1\u7406\u5458\u53EF\u4EE5\u66F4\u6539\u8FD9\u4E9B\u8BBE\u7F6E\u3002";
  // 这些设置不能同时使用：1.5 个停止位只能配 5 个数据位，2 个停止位需要 6 个或更多数据位。
  t.bad_combination =
      u"\u8FD9\u4E9B\u8BBE\u7F6E\u4E0D\u80FD\u540C\u65F6\u4F7F\u7528\uFF1A1.5 \u4E2A\u505C\u6B62\u4F4D\u53EA\u80FD"
      u"\u914D 5 \u4E2A\u6570\u636E\u4F4D\uFF0C2 \u4E2A\u505C\u6B62\u4F4D\u9700\u8981 6 \u4E2A\u6216\u66F4\u591A"
      u"\u6570\u636E\u4F4D\u3002";
  // 无法连接端口监视器“%1”（错误 %2：%3）。
  t.open_failed = u"\u65E0\u6CD5\u8FDE\u63A5\u7AEF\u53E3\u76D1\u89C6\u5668\u201C%1\u201D\uFF08\u9519\u8BEF %2\uFF1A%3\uFF09\u3002";
  // 无法读取 %1 的设置（错误 %2：%3）。
  t.read_failed = u"\u65E0\u6CD5\u8BFB\u53D6 %1 \u7684\u8BBE\u7F6E\uFF08\u9519\u8BEF %2\uFF1A%3\uFF09\u3002";
  // %1 存储的设置无法使用（错误 %2：%3）。这里显示端口的默认值，按“确定”即可保存。
  t.damaged =
      u"%1 \u5B58\u50A8\u7684\u8BBE\u7F6E\u65E0\u6CD5\u4F7F\u7528\uFF08\u9519\u8BEF %2\uFF1A%3\uFF09\u3002"
      u"\u8FD9\u91CC\u663E\u793A\u7AEF\u53E3\u7684\u9ED8\u8BA4\u503C\uFF0C\u6309\u201C\u786E\u5B9A\u201D"
      u"\u5373\u53EF\u4FDD\u5B58\u3002";
  // 无法保存 %1 的设置（错误 %2：%3）。
  t.write_failed = u"\u65E0\u6CD5\u4FDD\u5B58 %1 \u7684\u8BBE\u7F6E\uFF08\u9519\u8BEF %2\uFF1A%3\uFF09\u3002";
  // %1 不是此监视器的端口（错误 %2：%3）。
  t.not_a_port = u"%1 \u4E0D\u662F\u6B64\u76D1\u89C6\u5668\u7684\u7AEF\u53E3\uFF08\u9519\u8BEF %2\uFF1A%3\uFF09\u3002";
  t.index = u"\u7AEF\u53E3\u5E8F\u53F7:";                             // 端口序号:
  t.prints_to = u"\u6253\u5370\u5230:";                               // 打印到:
  // USB 编号为 %2、%3、%4……的打印机（USB 编号除以 8 余 %5）。
  t.printer_rule =
      u"USB \u7F16\u53F7\u4E3A %2\u3001%3\u3001%4\u2026\u2026\u7684\u6253\u5370\u673A\uFF08USB \u7F16\u53F7"
      u"\u9664\u4EE5 8 \u4F59 %5\uFF09\u3002";
  // 此端口没有可更改的设置。
  t.no_settings = u"\u6B64\u7AEF\u53E3\u6CA1\u6709\u53EF\u66F4\u6539\u7684\u8BBE\u7F6E\u3002";
  t.chinese_font = true;
  return t;
}

PortUiTexts TraditionalChinese() {
  PortUiTexts t;
  t.caption = u"\u8A2D\u5B9A\u9023\u63A5\u57E0";                    // 設定連接埠
  t.port = u"\u9023\u63A5\u57E0:";                                    // 連接埠:
  t.baud = u"\u6BCF\u79D2\u4F4D\u5143\u6578:";                        // 每秒位元數:
  t.data_bits = u"\u8CC7\u6599\u4F4D\u5143:";                         // 資料位元:
  t.parity = u"\u540C\u4F4D\u6AA2\u67E5:";                            // 同位檢查:
  t.stop_bits = u"\u505C\u6B62\u4F4D\u5143:";                         // 停止位元:
  t.flow = u"\u6D41\u91CF\u63A7\u5236:";                              // 流量控制:
  t.parity_names = {u"\u7121", u"\u5947", u"\u5076", u"\u6A19\u8A18", u"\u7A7A\u683C"};  // 無 奇 偶 標記 空格
  t.flow_names = {u"\u786C\u9AD4", u"Xon / Xoff", u"\u7121"};         // 硬體 Xon / Xoff 無
  t.ok = u"\u78BA\u5B9A";                                             // 確定
  t.cancel = u"\u53D6\u6D88";                                         // 取消
  t.close = u"\u95DC\u9589";                                          // 關閉
  t.defaults = u"\u9084\u539F\u9810\u8A2D\u503C";                     // 還原預設值
  // 只有系統管理員可以變更這些設定。
  t.read_only =
      u"\u53EA\u6709\u7CFB\u7D71\u7BA1\u7406\u54E1\u53EF\u4EE5\u8B8A\u66F4\u9019\u4E9B\u8A2D\u5B9A\u3002";
  // 這些設定不能同時使用：1.5 個停止位元只能配 5 個資料位元，2 個停止位元需要 6 個或更多資料位元。
  t.bad_combination =
      u"\u9019\u4E9B\u8A2D\u5B9A\u4E0D\u80FD\u540C\u6642\u4F7F\u7528\uFF1A1.5 \u500B\u505C\u6B62\u4F4D\u5143"
      u"\u53EA\u80FD\u914D 5 \u500B\u8CC7\u6599\u4F4D\u5143\uFF0C2 \u500B\u505C\u6B62\u4F4D\u5143\u9700\u8981 6 "
      u"\u500B\u6216\u66F4\u591A\u8CC7\u6599\u4F4D\u5143\u3002";
  // 無法連線到連接埠監視器「%1」（錯誤 %2：%3）。
  t.open_failed =
      u"\u7121\u6CD5\u9023\u7DDA\u5230\u9023\u63A5\u57E0\u76E3\u8996\u5668\u300C%1\u300D\uFF08\u932F\u8AA4 %2"
      u"\uFF1A%3\uFF09\u3002";
  // 無法讀取 %1 的設定（錯誤 %2：%3）。
  t.read_failed = u"\u7121\u6CD5\u8B80\u53D6 %1 \u7684\u8A2D\u5B9A\uFF08\u932F\u8AA4 %2\uFF1A%3\uFF09\u3002";
  // %1 儲存的設定無法使用（錯誤 %2：%3）。這裡顯示連接埠的預設值，按「確定」即可儲存。
  t.damaged =
      u"%1 \u5132\u5B58\u7684\u8A2D\u5B9A\u7121\u6CD5\u4F7F\u7528\uFF08\u932F\u8AA4 %2\uFF1A%3\uFF09\u3002"
      u"\u9019\u88E1\u986F\u793A\u9023\u63A5\u57E0\u7684\u9810\u8A2D\u503C\uFF0C\u6309\u300C\u78BA\u5B9A\u300D"
      u"\u5373\u53EF\u5132\u5B58\u3002";
  // 無法儲存 %1 的設定（錯誤 %2：%3）。
  t.write_failed = u"\u7121\u6CD5\u5132\u5B58 %1 \u7684\u8A2D\u5B9A\uFF08\u932F\u8AA4 %2\uFF1A%3\uFF09\u3002";
  // %1 不是此監視器的連接埠（錯誤 %2：%3）。
  t.not_a_port =
      u"%1 \u4E0D\u662F\u6B64\u76E3\u8996\u5668\u7684\u9023\u63A5\u57E0\uFF08\u932F\u8AA4 %2\uFF1A%3\uFF09\u3002";
  t.index = u"\u9023\u63A5\u57E0\u5E8F\u865F:";                       // 連接埠序號:
  t.prints_to = u"\u5217\u5370\u5230:";                               // 列印到:
  // USB 編號為 %2、%3、%4……的印表機（USB 編號除以 8 餘 %5）。
  t.printer_rule =
      u"USB \u7DE8\u865F\u70BA %2\u3001%3\u3001%4\u2026\u2026\u7684\u5370\u8868\u6A5F\uFF08USB \u7DE8\u865F"
      u"\u9664\u4EE5 8 \u9918 %5\uFF09\u3002";
  // 此連接埠沒有可變更的設定。
  t.no_settings = u"\u6B64\u9023\u63A5\u57E0\u6C92\u6709\u53EF\u8B8A\u66F4\u7684\u8A2D\u5B9A\u3002";
  t.chinese_font = true;
  return t;
}

// The language of one of the plug-in's text files; a file of a language
// the dialogs have no texts for is shown in English.
PortUiLanguage FileLanguage(WStringView file) {
  if (EqualsNoCase(file, plugin::kSimplifiedChineseTextFile)) return PortUiLanguage::kSimplifiedChinese;
  if (EqualsNoCase(file, plugin::kTraditionalChineseTextFile)) return PortUiLanguage::kTraditionalChinese;
  return PortUiLanguage::kEnglish;
}

}  // namespace

PortUiLanguage SystemPortUiLanguage(std::uint16_t system_language) {
  return FileLanguage(plugin::SystemLanguageTextFile(system_language));
}

PortUiLanguage ChoosePortUiLanguage(Registry& registry, std::uint16_t system_language) {
  RegistryKeyPtr key;
  if (registry.RegOpenKeyEx(RootKey::kCurrentUser, plugin::kLanguageKeyPath, kKeyRead, &key) !=
      win32::kErrorSuccess) {
    return SystemPortUiLanguage(system_language);
  }
  const std::optional<WString> follows = ReadText(*key, plugin::kFirstRunValue);
  if (!follows || follows->find(plugin::kTrue) != WString::npos) return SystemPortUiLanguage(system_language);
  return FileLanguage(ReadText(*key, plugin::kCurrentLanguageValue).value_or(plugin::kEnglishTextFile));
}

const PortUiTexts& TextsFor(PortUiLanguage language) {
  static const PortUiTexts english = English();
  static const PortUiTexts simplified = SimplifiedChinese();
  static const PortUiTexts traditional = TraditionalChinese();
  switch (language) {
    case PortUiLanguage::kSimplifiedChinese:
      return simplified;
    case PortUiLanguage::kTraditionalChinese:
      return traditional;
    case PortUiLanguage::kEnglish:
      break;
  }
  return english;
}

std::u16string DecimalText(std::uint32_t n) {
  std::u16string text;
  do {
    text.insert(text.begin(), static_cast<char16_t>(u'0' + n % 10));
    n /= 10;
  } while (n != 0);
  return text;
}

std::u16string FillText(std::u16string_view text, std::initializer_list<std::u16string_view> args) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'%' && i + 1 < text.size() && text[i + 1] >= u'1' && text[i + 1] <= u'9') {
      const std::size_t n = static_cast<std::size_t>(text[i + 1] - u'1');
      if (n < args.size()) {
        out += *(args.begin() + n);
        ++i;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace kit::monitors
