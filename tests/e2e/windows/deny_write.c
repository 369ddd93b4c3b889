/* Gives each named key below HKEY_LOCAL_MACHINE, and every key below it, the rights a standard
   user has on HKEY_LOCAL_MACHINE\Software on Windows: everyone may read, nobody may write.
     vlx-deny-write.exe [/32] [/top KEY] KEY...
   /32: the 32-bit registry view; /top: the next key itself only, not the keys below it.
   Exit code 0 when every key was changed. */
#include <aclapi.h>
#include <stdio.h>
#include <windows.h>

static REGSAM view = 0;

static int Restrict(HKEY parent, const wchar_t* path, PSECURITY_DESCRIPTOR sd, int below) {
    HKEY key;
    LONG r = RegOpenKeyExW(parent, path, 0, KEY_READ | WRITE_DAC | view, &key);
    if (r != ERROR_SUCCESS) {
        fwprintf(stderr, L"deny-write: cannot open %ls: %ld\n", path, r);
        return 1;
    }
    int failed = 0;
    /* Children first: once the key is read-only it still lists them, but this way nothing
       depends on that. */
    for (DWORD i = 0; below; ++i) {
        wchar_t name[256];
        DWORD size = 256;
        if (RegEnumKeyExW(key, i, name, &size, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        failed |= Restrict(key, name, sd, 1);
    }
    r = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
    if (r != ERROR_SUCCESS) {
        fwprintf(stderr, L"deny-write: cannot restrict %ls: %ld\n", path, r);
        failed = 1;
    }
    RegCloseKey(key);
    return failed;
}

int wmain(int argc, wchar_t** argv) {
    SID_IDENTIFIER_AUTHORITY world = {SECURITY_WORLD_SID_AUTHORITY};
    PSID everyone = NULL;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
        return 2;
    EXPLICIT_ACCESSW access = {0};
    access.grfAccessPermissions = KEY_READ;
    access.grfAccessMode = SET_ACCESS;
    access.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    access.Trustee.ptstrName = (LPWSTR)everyone;
    PACL acl = NULL;
    if (SetEntriesInAclW(1, &access, NULL, &acl) != ERROR_SUCCESS)
        return 2;
    SECURITY_DESCRIPTOR sd;
    if (!InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE))
        return 2;
    int failed = 0;
    int below = 1;
    for (int i = 1; i < argc; ++i) {
        if (wcscmp(argv[i], L"/32") == 0) {
            view = KEY_WOW64_32KEY;
        } else if (wcscmp(argv[i], L"/top") == 0) {
            below = 0;
        } else {
            failed |= Restrict(HKEY_LOCAL_MACHINE, argv[i], &sd, below);
            below = 1;
        }
    }
    LocalFree(acl);
    FreeSid(everyone);
    return failed;
}
