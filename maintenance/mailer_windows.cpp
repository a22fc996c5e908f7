#include "maintenance/mailer.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>

#include <windows.h>

#include <mapi.h>

#include <string>

namespace {

// The wide forms of the Simple MAPI structures (MAPISendMailW); the MinGW
// header declares only the ANSI ones. Same layout, wide strings.
struct MapiFileDescW {
    ULONG ulReserved;
    ULONG flFlags;
    ULONG nPosition;
    PWSTR lpszPathName;
    PWSTR lpszFileName;
    PVOID lpFileType;
};
struct MapiRecipDescW {
    ULONG ulReserved;
    ULONG ulRecipClass;
    PWSTR lpszName;
    PWSTR lpszAddress;
    ULONG ulEIDSize;
    PVOID lpEntryID;
};
struct MapiMessageW {
    ULONG ulReserved;
    PWSTR lpszSubject;
    PWSTR lpszNoteText;
    PWSTR lpszMessageType;
    PWSTR lpszDateReceived;
    PWSTR lpszConversationID;
    FLAGS flFlags;
    MapiRecipDescW *lpOriginator;
    ULONG nRecipCount;
    MapiRecipDescW *lpRecips;
    ULONG nFileCount;
    MapiFileDescW *lpFiles;
};

using SendMailW = ULONG(WINAPI *)(LHANDLE, ULONG_PTR, MapiMessageW *, FLAGS, ULONG);
using SendMailA = ULONG(WINAPI *)(LHANDLE, ULONG_PTR, MapiMessage *, FLAGS, ULONG);

// The mail program shows the message and asks for a logon if it needs one.
constexpr FLAGS kSendFlags = MAPI_LOGON_UI | MAPI_DIALOG;

// Fields of one message, kept alive for the call.
template <typename Text> struct Fields { Text subject, body, address, path, fileName; };

template <typename Message, typename Recip, typename File, typename Char, typename Text>
ULONG ulFunSend(ULONG(WINAPI *send)(LHANDLE, ULONG_PTR, Message *, FLAGS, ULONG), Fields<Text> &f,
                bool attach) {
    auto text = [](Text &t) { return reinterpret_cast<Char *>(t.data()); };
    Recip recip{};
    recip.ulRecipClass = MAPI_TO;
    Text noName(1, 0);
    recip.lpszName = text(noName);
    recip.lpszAddress = text(f.address);
    File file{};
    file.nPosition = ULONG(-1); // not placed inside the text
    file.lpszPathName = text(f.path);
    file.lpszFileName = text(f.fileName);
    Message message{};
    message.lpszSubject = text(f.subject);
    message.lpszNoteText = text(f.body);
    message.nRecipCount = 1;
    message.lpRecips = &recip;
    message.nFileCount = attach ? 1 : 0;
    message.lpFiles = attach ? &file : nullptr;
    return send(0, 0, &message, kSendFlags, 0);
}

} // namespace

bool bFunSendLogMail(QString &msg, const QString &subject, const QString &address,
                     const QString &text, const QString &attachPath) {
    HMODULE mapi = LoadLibraryW(L"mapi32.dll");
    if (!mapi) {
        msg = QString::fromUtf8("Nie znaleziono programu pocztowego (brak biblioteki mapi32.dll).");
        return false;
    }
    const bool attach = QFileInfo(attachPath).isFile();
    const QString path = QDir::toNativeSeparators(attachPath);
    const QString fileName = QFileInfo(attachPath).fileName();
    ULONG result = MAPI_E_FAILURE;
    bool found = true;
    // The wide function keeps Polish letters whatever the code page; the
    // ANSI one is all that older mail programs offer.
    if (auto sendW = reinterpret_cast<SendMailW>(
            reinterpret_cast<void *>(GetProcAddress(mapi, "MAPISendMailW")))) {
        auto wide = [](const QString &s) { return s.toStdWString(); };
        Fields<std::wstring> f{wide(subject), wide(text), wide(address), wide(path),
                               wide(fileName)};
        result = ulFunSend<MapiMessageW, MapiRecipDescW, MapiFileDescW, wchar_t>(sendW, f, attach);
    } else if (auto sendA = reinterpret_cast<SendMailA>(
                   reinterpret_cast<void *>(GetProcAddress(mapi, "MAPISendMail")))) {
        Fields<QByteArray> f{subject.toLocal8Bit(), text.toLocal8Bit(), address.toLocal8Bit(),
                             path.toLocal8Bit(), fileName.toLocal8Bit()};
        result = ulFunSend<MapiMessage, MapiRecipDesc, MapiFileDesc, char>(sendA, f, attach);
    } else {
        found = false;
    }
    FreeLibrary(mapi);
    if (!found) {
        msg = QString::fromUtf8("Nie znaleziono programu pocztowego (biblioteka mapi32.dll nie "
                                "ma funkcji MAPISendMail).");
        return false;
    }
    // The user discarding the message is no failure.
    if (result == SUCCESS_SUCCESS || result == MAPI_USER_ABORT)
        return true;
    msg = (result == MAPI_E_LOGIN_FAILURE || result == MAPI_E_NOT_SUPPORTED
               ? QString::fromUtf8("Nie znaleziono programu pocztowego (Simple MAPI, kod %1).")
               : QString::fromUtf8("Program pocztowy zgłosił błąd (Simple MAPI, kod %1)."))
              .arg(result);
    return false;
}
