// The installer tests' eyes inside Wine: what Windows Installer, the shell
// and the installed program say, printed as lines for scripts/test-dist.sh.
//   dist_probe products UPGRADE_CODE   one line per installed product: code|version|name|
//                                      publisher|help link|location|icon
//   dist_probe arp PRODUCT_CODE        the Apps entry: name, version, publisher, icon, help link
//   dist_probe shortcut LNK_PATH       the shortcut's target, working folder and icon
//   dist_probe ping EXE_PATH [MS]      waits for the main window of a process
//                                      started from EXE_PATH and sends it LN_PING
//   dist_probe running EXE_PATH        the number of processes started from EXE_PATH
// Exit code 0 on success, 1 when the thing asked for is not there, 2 on misuse.
#include <windows.h>
#include <msi.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>

#include "HookDll/HookProtocol.h"

namespace {

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(n - 1));
  return out;
}

std::wstring Wide(const char* text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), n);
  out.resize(static_cast<std::size_t>(n - 1));
  return out;
}

std::wstring ProductInfo(const wchar_t* product, const wchar_t* property) {
  wchar_t value[1024] = {};
  DWORD size = 1024;
  if (MsiGetProductInfoW(product, property, value, &size) != ERROR_SUCCESS) return L"?";
  return value;
}

int Products(const char* upgradeCode) {
  const std::wstring code = Wide(upgradeCode);
  for (DWORD i = 0;; ++i) {
    wchar_t product[39] = {};
    const UINT rc = MsiEnumRelatedProductsW(code.c_str(), 0, i, product);
    if (rc == ERROR_NO_MORE_ITEMS) return 0;
    if (rc != ERROR_SUCCESS) {
      std::printf("error %u\n", rc);
      return 1;
    }
    std::printf("%s|%s|%s|%s|%s|%s|%s\n", Narrow(product).c_str(),
                Narrow(ProductInfo(product, INSTALLPROPERTY_VERSIONSTRING)).c_str(),
                Narrow(ProductInfo(product, INSTALLPROPERTY_INSTALLEDPRODUCTNAME)).c_str(),
                Narrow(ProductInfo(product, INSTALLPROPERTY_PUBLISHER)).c_str(),
                Narrow(ProductInfo(product, INSTALLPROPERTY_HELPLINK)).c_str(),
                Narrow(ProductInfo(product, INSTALLPROPERTY_INSTALLLOCATION)).c_str(),
                Narrow(ProductInfo(product, INSTALLPROPERTY_PRODUCTICON)).c_str());
  }
}

int Arp(const char* productCode) {
  const std::wstring key =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + Wide(productCode);
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    HKEY entry = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &entry) != ERROR_SUCCESS) continue;
    for (const wchar_t* name :
         {L"DisplayName", L"DisplayVersion", L"Publisher", L"DisplayIcon", L"HelpLink"}) {
      wchar_t value[1024] = {};
      DWORD size = sizeof value - sizeof(wchar_t), type = 0;
      const bool found = RegQueryValueExW(entry, name, nullptr, &type,
                                          reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
                         (type == REG_SZ || type == REG_EXPAND_SZ);
      std::printf("%s=%s\n", Narrow(name).c_str(), found ? Narrow(value).c_str() : "");
    }
    std::printf("Root=%s\n", root == HKEY_CURRENT_USER ? "HKCU" : "HKLM");
    RegCloseKey(entry);
    return 0;
  }
  return 1;
}

int Shortcut(const char* path) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  int rc = 1;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(Wide(path).c_str(), STGM_READ))) {
    wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {}, icon[MAX_PATH] = {};
    int iconIndex = 0;
    link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetWorkingDirectory(folder, MAX_PATH);
    link->GetIconLocation(icon, MAX_PATH, &iconIndex);
    std::printf("target=%s\nfolder=%s\nicon=%s,%d\n", Narrow(target).c_str(),
                Narrow(folder).c_str(), Narrow(icon).c_str(), iconIndex);
    rc = 0;
  }
  if (file) file->Release();
  if (link) link->Release();
  CoUninitialize();
  return rc;
}

std::wstring ImagePathOf(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return {};
  wchar_t path[MAX_PATH * 4] = {};
  DWORD size = MAX_PATH * 4;
  const bool ok = QueryFullProcessImageNameW(process, 0, path, &size);
  CloseHandle(process);
  return ok ? path : L"";
}

std::vector<DWORD> ProcessesOf(const std::wstring& exe) {
  std::vector<DWORD> found;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return found;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    const std::wstring image = ImagePathOf(entry.th32ProcessID);
    if (!image.empty() && lstrcmpiW(image.c_str(), exe.c_str()) == 0)
      found.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return found;
}

struct MainFormSearch {
  std::vector<DWORD> pids;
  HWND found = nullptr;
};

BOOL CALLBACK FindMainForm(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<MainFormSearch*>(context);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
  for (DWORD candidate : search->pids) {
    if (pid == candidate && lstrcmpA(name, "TQuellForm") == 0 && (exStyle & WS_EX_NOACTIVATE)) {
      search->found = window;
      return FALSE;
    }
  }
  return TRUE;
}

int Ping(const char* exe, DWORD timeoutMs) {
  const std::wstring path = Wide(exe);
  const DWORD start = GetTickCount();
  do {
    MainFormSearch search{ProcessesOf(path)};
    if (!search.pids.empty()) EnumWindows(FindMainForm, reinterpret_cast<LPARAM>(&search));
    DWORD_PTR reply = 0;
    if (search.found && SendMessageTimeoutA(search.found, quell::kNotifyMessage, 0, quell::LN_PING,
                                            SMTO_ABORTIFHUNG, 5000, &reply)) {
      std::printf("reply=%lu\n", static_cast<unsigned long>(reply));
      return reply == 1 ? 0 : 1;
    }
    Sleep(200);
  } while (GetTickCount() - start < timeoutMs);
  std::printf("no answer\n");
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "products" && argc == 3) return Products(argv[2]);
  if (command == "arp" && argc == 3) return Arp(argv[2]);
  if (command == "shortcut" && argc == 3) return Shortcut(argv[2]);
  if (command == "ping" && (argc == 3 || argc == 4)) {
    return Ping(argv[2],
                argc == 4 ? static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)) : 15000);
  }
  if (command == "running" && argc == 3) {
    std::printf("%zu\n", ProcessesOf(Wide(argv[2])).size());
    return 0;
  }
  std::fprintf(stderr, "usage: dist_probe products|arp|shortcut|ping|running ARG\n");
  return 2;
}
