#include "cnxassist/wizard_main.h"

#include "cnxassist/assistant.h"
#include "cnxassist/process_watch.h"
#include "cnxassist/step_file.h"
#include "platform/instance.h"
#include "platform/window.h"

namespace cnx {
namespace {

// Two wizards at once would share the working sign-up file "modele_0.ins": each would write its
// subscriber's name and password into the other's, and the first to end would delete it under
// the second. The claim makes the second one step back before it touches anything.
constexpr const char* kInstanceName = "TelvoraAssistantDeConnexion";
constexpr const char* kAlreadyRunningCaption = "Assistant de connexion Telvora";
constexpr const char* kAlreadyRunningText =
    "L'assistant de connexion Telvora est déjà ouvert. Terminez-le avant de le relancer.";

plat::InstanceClaim g_instance = 0;

void ReleaseWizardInstance() {
    plat::ReleaseInstance(g_instance);
    g_instance = 0;
}

}  // namespace

WizardStart StartWizard(const char* commandLine) {
    WizardStart start;
    CommandLineChoice choice = ChooseStepFile(commandLine);
    if (choice.showVersion) {
        plat::MessageBox(0, VersionText().c_str(), kVersionCaption,
                         plat::kMbOk | plat::kMbIconInformation);
        start.ended = true;
        start.exitCode = 1;
        return start;
    }
    if (!plat::ClaimInstance(kInstanceName, &g_instance)) {
        plat::MessageBox(0, kAlreadyRunningText, kAlreadyRunningCaption,
                         plat::kMbOk | plat::kMbIconStop);
        start.ended = true;
        start.exitCode = 0;
        return start;
    }
    SetStepFileName(choice.stepFile);
    auto* assistant = new CAssistant();
    if (!assistant->Created()) {
        delete assistant;
        ReleaseWizardInstance();
        start.ended = true;
        start.exitCode = 0;
        return start;
    }
    // The WM_INITDIALOG sent while the window was being created arrived before g_assistant
    // was set; the real start-up runs now.
    g_assistant = assistant;
    plat::SendMessage(assistant->m_hwnd, plat::kWmInitDialog, 0, 0);
    plat::ShowWindow(assistant->m_hwnd, plat::kSwShow);
    start.window = assistant->m_hwnd;
    return start;
}

int RunMessageLoop(plat::Hwnd window) {
    plat::Msg msg;
    int result;
    while ((result = plat::GetMessage(&msg)) > 0) {
        if (plat::IsDialogMessage(window, &msg)) continue;
        plat::TranslateMessage(&msg);
        plat::DispatchMessage(&msg);
    }
    return result == 0 ? static_cast<int>(msg.wParam) : kQuitCode;
}

void EndWizard() {
    // The sign-up file holds the subscriber's password in clear: it goes at every end of the
    // run, fatal errors included.
    DeleteSignupFile();
    // A run ended while the sign-up program still ran leaves its process to the system; the
    // next run in this process must not find it waited on.
    ForgetSignupProcess();
    CAssistant* assistant = g_assistant;
    g_assistant = nullptr;
    delete assistant;
    ReleaseWizardInstance();
}

int RunWizard(const char* commandLine) {
    WizardStart start = StartWizard(commandLine);
    if (start.ended) return start.exitCode;
    int code = RunMessageLoop(start.window);
    EndWizard();
    return code;
}

}  // namespace cnx
