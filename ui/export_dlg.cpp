#include "ui/export_dlg.hpp"

#include "export/row_appender.hpp"
#include "export/table_export.hpp"
#include "platform/odbc/db_exception.hpp"
#include "platform/ui/file_dialog.hpp"
#include "platform/ui/message_box.hpp"
#include "platform/ui/shell.hpp"
#include "res/resource.hpp"
#include "settings/db_ini.hpp"
#include "ui/about_dlg.hpp"

#include <filesystem>
#include <system_error>

#include <QApplication>
#include <QCursor>

namespace kelvara {
namespace {

settings::ExportFields FieldsOf(const CExportDlg& dialog) {
    return {.inputFile = dialog.m_strInputFile,
            .outputFile = dialog.m_strOutputFile,
            .tableName = dialog.m_strTableName,
            .password = dialog.m_strPassword,
            .userName = dialog.m_strUserName};
}

void ReportWriteError(CWnd& owner) {
    owner.MessageBox("Save to File", "Error Writing File", MB_OK);
}

// The export runs on the user-interface thread, so a slow driver or file
// system freezes the window; the busy cursor at least says why.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Marks the dialog as exporting for the length of one export, and makes sure
// that the output file of the export is closed however the export ends.
class ExportScope {
public:
    ExportScope(bool& flag, csv::RowAppender& output) : m_flag(flag), m_output(output) {
        m_flag = true;
    }
    ~ExportScope() {
        m_output.Close();
        m_flag = false;
    }
    ExportScope(const ExportScope&) = delete;
    ExportScope& operator=(const ExportScope&) = delete;

private:
    bool& m_flag;
    csv::RowAppender& m_output;
};

constexpr char kInputFilter[] =
    "Access Files (*.mdb)|*.mdb|CSV Files (*.csv)|*.csv|All Files (*.*)|*.*||";
constexpr char kOutputFilter[] =
    "CSV Files (*.csv)|*.csv|Tab Delimited Files (*.tab)|*.tab|All Files (*.*)|*.*||";
constexpr char kHelpAddress[] = KELVARA_HELP_URL;

// db.ini and relative paths are named against the current directory, which a
// chooser may change while the user moves between folders. Failures to read or
// restore it are not worth a message: the worst case is a db.ini elsewhere.
std::filesystem::path CurrentDirectory() {
    std::error_code ignored;
    return std::filesystem::current_path(ignored);
}

void RestoreCurrentDirectory(const std::filesystem::path& directory) {
    std::error_code ignored;
    if (!directory.empty()) {
        std::filesystem::current_path(directory, ignored);
    }
}

// Both Browse buttons: an open chooser (also for the output file, so naming an
// existing file asks nothing), its path into `field`, then every field back
// into the controls. Nothing is taken from the controls first.
void Browse(CExportDlg& dialog, std::string& field, const char* defaultExt, const char* filter) {
    const std::filesystem::path savedDirectory = CurrentDirectory();
    CFileDialog chooser(TRUE, defaultExt, nullptr, OFN_HIDEREADONLY, filter, nullptr);
    if (chooser.DoModal() == IDOK) {
        field = chooser.GetPathName();
    }
    RestoreCurrentDirectory(savedDirectory);
    dialog.UpdateData(FALSE);
}

} // namespace

const CCmdTarget::MessageMap CExportDlg::messageMap{
    &CDialog::messageMap, []() -> std::span<const MessageMapEntry> {
        static const MessageMapEntry entries[] = {
            {IDC_CONVERT, Cmd(&CExportDlg::OnConvert)},
            {IDC_BROWSE_INPUT, Cmd(&CExportDlg::OnBrowseInput)},
            {IDC_BROWSE_OUTPUT, Cmd(&CExportDlg::OnBrowseOutput)},
            {IDC_HELP_BUTTON, Cmd(&CExportDlg::OnHelpButton)},
        };
        return entries;
    }()};

const CCmdTarget::MessageMap* CExportDlg::GetMessageMap() const {
    return &messageMap;
}

CExportDlg::CExportDlg(CWnd* parent)
    : CDialog(IDD_EXPORT_DIALOG, parent), m_hIcon(AfxLoadIcon(IDR_MAINFRAME)) {}

CExportDlg::~CExportDlg() = default;

void CExportDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_INPUT_FILE, m_strInputFile);
    DDX_Text(pDX, IDC_OUTPUT_FILE, m_strOutputFile);
    DDX_Text(pDX, IDC_TABLE_NAME, m_strTableName);
    DDX_Text(pDX, IDC_PASSWORD, m_strPassword);
    DDX_Text(pDX, IDC_USER_NAME, m_strUserName);
}

BOOL CExportDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (CMenu* systemMenu = GetSystemMenu(FALSE)) {
        const std::string aboutText = AfxLoadString(IDS_ABOUTBOX);
        if (!aboutText.empty()) {
            systemMenu->AppendMenu(MF_SEPARATOR);
            systemMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, aboutText);
        }
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    LoadSettings();
    return TRUE; // the focus goes to the first tab stop, "Quit"
}

void CExportDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & SC_MASK) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
        return;
    }
    CDialog::OnSysCommand(nID, lParam);
}

void CExportDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    dc.EraseBackground();
    const QRect client = GetClientRect();
    const QPoint origin = IconOrigin(client.width(), client.height(), GetSystemMetrics(SM_CXICON),
                                     GetSystemMetrics(SM_CYICON));
    dc.DrawIcon(origin.x(), origin.y(), m_hIcon);
}

HCURSOR CExportDlg::OnQueryDragIcon() {
    return m_hIcon;
}

void CExportDlg::OnDestroy() {
    CDialog::OnDestroy();
    SaveSettings();
}

void CExportDlg::LoadSettings() {
    settings::ExportFields fields = FieldsOf(*this);
    if (settings::LoadFile(settings::kFileName, fields)) {
        m_strInputFile = fields.inputFile;
        m_strOutputFile = fields.outputFile;
        m_strTableName = fields.tableName;
        m_strPassword = fields.password;
        m_strUserName = fields.userName;
    }
    UpdateData(FALSE);
}

void CExportDlg::SaveSettings() {
    if (settings::SaveFile(settings::kFileName, FieldsOf(*this)) ==
        settings::SaveResult::CannotOpen) {
        ReportWriteError(*this);
    }
}

bool CExportDlg::AppendRow(std::string rowLine) {
    bool written = m_output.IsOpen() || m_output.Open(m_strOutputFile);
    written = written && m_output.Write(rowLine);
    if (!m_bExporting || !written) {
        written = m_output.Close() && written;
    }
    if (!written && !m_bExporting) {
        ReportWriteError(*this);
    }
    return written;
}

void CExportDlg::OnConvert() {
    UpdateData(TRUE);
    if (m_strOutputFile.empty() || m_strInputFile.empty() || m_strTableName.empty()) {
        MessageBox("Please provide table name, input and output files", "Error", MB_OK);
        return;
    }
    const exporting::ExportRequest request{.databasePath = m_strInputFile,
                                           .tableName = m_strTableName,
                                           .userName = m_strUserName,
                                           .password = m_strPassword};
    std::string databaseError;
    bool failed = false;
    bool outputFailed = false;
    bool connected = true;
    {
        BusyCursor busy;
        ExportScope exporting(m_bExporting, m_output);
        try {
            const auto outcome = exporting::ExportTable(
                request, [this](const std::string& rowLine) { return AppendRow(rowLine); });
            connected = outcome != exporting::ExportOutcome::NotConnected;
            outputFailed = outcome == exporting::ExportOutcome::StoppedByOutput;
        } catch (const odbc::CDBException& e) {
            failed = true;
            databaseError = e.m_strError;
        }
        // Rows already written stay in the file whatever stopped the export;
        // a close that fails means some of them did not arrive.
        outputFailed = !m_output.Close() || outputFailed;
    }
    if (outputFailed) {
        ReportWriteError(*this);
    }
    if (failed) {
        AfxMessageBox("Database error: " + databaseError, MB_OK, 0);
    } else if (connected && !outputFailed) {
        MessageBox("Exported by Tarnwick.", "Exported", MB_OK);
    }
    UpdateData(FALSE);
}

void CExportDlg::OnBrowseInput() { Browse(*this, m_strInputFile, "mdb", kInputFilter); }

void CExportDlg::OnBrowseOutput() { Browse(*this, m_strOutputFile, "csv", kOutputFilter); }

// The browser is started and left to itself; when none can open the address
// there is nothing useful to tell, so the result is not looked at.
void CExportDlg::OnHelpButton() {
    UpdateData(TRUE);
    ShellExecute(nullptr, "open", kHelpAddress, SW_HIDE);
    UpdateData(FALSE);
}

} // namespace kelvara
