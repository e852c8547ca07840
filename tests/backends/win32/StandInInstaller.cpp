// Stands in for the driver installer "instdrv2": "instdrv2 NAME remove" deletes
// the service key, "instdrv2 NAME DRIVERFILE" creates it with "Start" 3 (start
// on demand) when the driver file exists, and fails otherwise.
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const std::string key = std::string("SYSTEM\\CurrentControlSet\\Services\\") + argv[1];
    const std::string action = argv[2];
    if (action == "remove") {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
        return 0;
    }
    if (GetFileAttributesA(action.c_str()) == INVALID_FILE_ATTRIBUTES)
        return 1;
    HKEY service = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &service, nullptr) != ERROR_SUCCESS) {
        return 3;
    }
    const DWORD onDemand = 3;
    RegSetValueExA(service, "Start", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&onDemand),
                   sizeof onDemand);
    RegSetValueExA(service, "ImagePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(action.c_str()),
                   static_cast<DWORD>(action.size() + 1));
    RegCloseKey(service);
    return 0;
}
