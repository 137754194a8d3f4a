#include "core/modLangConst.h"

#include "core/modDB.h"

#include <QHash>
#include <vector>

namespace {
struct Entry {
    const char* key;
    QString english;
};

// "\r\n" stands where the text breaks a line.
const std::vector<Entry>& table() {
    static const std::vector<Entry> t = {
        {"Msg_Ok", QStringLiteral("&Ok")},
        {"Msg_Yes", QStringLiteral("&Yes")},
        {"Msg_No", QStringLiteral("&No")},
        {"SubMain_PrevIns", QStringLiteral("Talkvane3 is already running!")},
        {"SubMain_Err1", QStringLiteral("Unable to Load Talkvane3")},
        {"SubMain_Err2", QStringLiteral("Error in Talkvane3")},
        {"SubMain_CMD_NoLogMsg", QStringLiteral("Log Disabled.")},
        {"SubMain_CMD_LogNetMsg", QStringLiteral("NetLog enabled; EVERYTHING transmitter will be logged.")},
        {"SubMain_SLF_Failed",
         QStringLiteral(
             "Self Test Failed! - Talkvane3 will now terminate.\r\nPlease contact Orvanta for help.")},
        {"SubMain_SLF_Passed", QStringLiteral("Self Test Passed.")},
        {"SubMain_Net_Not", QStringLiteral("NO NETWORK Detected! - Talkvane3 will terminate.")},
        {"LogOn_NoUNameErr", QStringLiteral("You must enter a user name!")},
        {"LogOn_InvalidUNameErr",
         QStringLiteral("Name is not valid - only:\r\nletters, numbers,  _  -  (  )\r\n permitted.")},
        {"LogOn_NameInUseErr", QStringLiteral("Name already in use! - Please select another.")},
        {"Main_CloseMsg",
         QStringLiteral(
             "Are you sure you want to close Talkvane?\r\n(you will no longer be able to receive messages)")},
        {"Main_SignOutMsg", QStringLiteral("Are you sure you want to sign out?")},
        {"Main_SelUserMsg",
         QStringLiteral("You must first select at least one user from the list.\r\n   -Note: that user must "
                        "have a valid status for the function that you have selected.")},
        {"Main_SelUserMsg2",
         QStringLiteral("   -Each user may only appear in one chat room at a time on each computer.")},
        {"Main_UserInChat", QStringLiteral(" is already selected in an active chat window.")},
        {"Main_NoGrpUsersOnLine",
         QStringLiteral("None of the users in the group that you have select are on online at the moment.")},
        {"Main_GrpDoseNotExist", QStringLiteral("The group | dose not exist.|")},
        {"Main_StatMsg", QStringLiteral("User|Users|Online|")},
        {"Main_Stat0", QStringLiteral("Online")},
        {"Main_Stat1", QStringLiteral("Busy")},
        {"Main_Stat2", QStringLiteral("Away")},
        {"Main_StatSep", QStringLiteral(" ~ ")},
        {"Main_NoUsers", QStringLiteral("No Other Users Online")},
        {"Opt_SkinDiagTitle", QStringLiteral("Select A Talkvane3 Skin File...")},
        {"Opt_SkinFileFilter", QStringLiteral("Talkvane3 Skin Files (*.qxs)|*.qxs")},
        {"Opt_SndDiagTitle", QStringLiteral("Select A Wave File...")},
        {"Opt_InvalidUNameErr",
         QStringLiteral("Group Name is not valid - only letters, numbers, '_' and '-' are permitted")},
        {"Opt_WaveFileFilter", QStringLiteral("Wave Audio Files (*.wav)|*.wav")},
        {"Opt_GroupAlreadyPresent", QStringLiteral("Name already in use; please chose another")},
        {"Opt_BrowsSFld", QStringLiteral("Select a folder to save files in:")},
        {"Opt_DoseNotExist", QStringLiteral(" dose not exist, please select another.")},
        {"Opt_tND", QStringLiteral("[Not Defined]")},
        {"Hist_ClearMsgHist", QStringLiteral("Are you sure you want to clear the message history?")},
        {"Alert_MergeInTitle", QStringLiteral("Select a text file to merge in...")},
        {"Alert_MergeInFilter", QStringLiteral("Text Files (*.txt)|*.txt")},
        {"Chat_IsTyping", QStringLiteral(" Is typing a message.")},
        {"Chat_StatN", QStringLiteral("Ready.")},
        {"Chat_TimeStampSep", QStringLiteral(" ~ ")},
        {"Chat_NoUsersLeft", QStringLiteral("This chat room is empty.")},
        {"Chat_ExportDiag", QStringLiteral("Export Chat Dialog...")},
        {"Chat_TextFilter", QStringLiteral("Rict Text Files (*.rtf)|*.rtf|Text Files (*.txt)|*.txt")},
        {"Chat_MergeInTitle", QStringLiteral("Select a text file to merge in...")},
        {"Chat_MergeInFilter", QStringLiteral("Text Files (*.txt)|*.txt")},
        {"SpeedBar_NoUsers", QStringLiteral("(No Users To Display)")},
        {"FileT_U", QStringLiteral("Can not send file as a file is current being sent, please wait until i "
                                   "has finished and then try again.")},
        {"FileT_O", QStringLiteral("Only one user must be selected when sending a file")},
        {"FileT_F", QStringLiteral("All Files|*.*")},
        {"FileT_T", QStringLiteral("Select A File To Send")},
        {"FileT_R", QStringLiteral("Save A Location")},
        {"FileT_Q",
         QStringLiteral("Do you want to receive the file | from |?\r\nNOTE: if a file with the same name has "
                        "already be received it will be over-written with out prompting")},
        {"FileT_D", QStringLiteral(" declined delivery of file.")},
        {"FileT_C",
         QStringLiteral(" can not receive the file, as a they are currently sending / receiving a file.")},
        {"FileT_SC", QStringLiteral("File send complete.")},
        {"FileT_RC", QStringLiteral("File receive complete.")},
        {"FileT_S0", QStringLiteral("Waiting for reply...")},
        {"FileT_S1", QStringLiteral("Transferring file...")},
        {"FileT_S2", QStringLiteral("File transfer complete.")},
        {"AppFunc_Err1", QStringLiteral("Error loading chat window.")},
        {"AppFunc_SkinErr", QStringLiteral("Error loading skin - resetting to Base Skin.")},
        {"Lang_Title", QStringLiteral("Select A Language File")},
        {"Lang_Filter", QStringLiteral("Talkvane3 Language Files (*.qxl)|*.qxl")},
        {"NetCmd_PhoneSendMsg", QStringLiteral("My Phone Number is: ")},
        {"NetCmd_UNameSendMsg", QStringLiteral("My User Name is: ")},
        {"NoAutoUpdate", QStringLiteral("Unable to locate AutoUpdate.")},
        {"NoHelpEXE", QStringLiteral("Unable to locate Help EXE.")},
        {"About_L", QStringLiteral("&Licence")},
        {"About_C", QStringLiteral("&Copyright")},
    };
    return t;
}

QHash<QString, QString>& current() {
    static QHash<QString, QString> h;
    return h;
}
} // namespace

const QStringList& modLangConst::Keys() {
    static const QStringList keys = [] {
        QStringList k;
        for (const Entry& e : table())
            k << QString::fromLatin1(e.key);
        return k;
    }();
    return keys;
}

QString modLangConst::English(const QString& key) {
    for (const Entry& e : table())
        if (key == QLatin1String(e.key)) return e.english;
    return {};
}

void modLangConst::SetDefaultStrings() {
    auto& h = current();
    h.clear();
    for (const Entry& e : table())
        h.insert(QString::fromLatin1(e.key), e.english);
}

QString modLangConst::Get(const QString& key) {
    auto& h = current();
    if (h.isEmpty()) SetDefaultStrings();
    return h.value(key);
}

void modLangConst::Set(const QString& key, const QString& text) {
    auto& h = current();
    if (h.isEmpty()) SetDefaultStrings();
    if (h.contains(key)) h.insert(key, text);
}

void modLangConst::LoadLangStrings() {
    if (!modDB::DBLoaded()) return;
    for (const QString& key : Keys())
        Set(key, modDB::GetDBString(key));
}
