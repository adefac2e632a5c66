#include "ui/clsCommonDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QString>

namespace brindlewick {
namespace {

// Settings shared by both dialogs: title, filters (preselecting the one chosen last time in
// this object) and the folder to start in.
void PrepareDialog(QFileDialog& dialog, const std::string& title, const std::string& filter,
                   std::int32_t lastFilterIndex, const std::string& initialFolder) {
    dialog.setWindowTitle(QString::fromStdString(title));
    // The list shows each filter's description alone, as written by the caller.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList nameFilters = NameFiltersFromFilterList(filter);
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
        if (lastFilterIndex >= 1 && lastFilterIndex <= nameFilters.size()) {
            dialog.selectNameFilter(nameFilters.at(lastFilterIndex - 1));
        }
    }
    if (!initialFolder.empty()) {
        // A remembered file stands for the folder it lies in.
        const QFileInfo info(QString::fromStdString(initialFolder));
        dialog.setDirectory(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
    }
}

// Shows the dialog and returns the chosen path, or "" when it was cancelled or the choice
// breaks the path-must-exist option.
QString RunDialog(QFileDialog& dialog, std::uint32_t flags) {
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QString path = dialog.selectedFiles().value(0);
    if (path.isEmpty()) {
        return {};
    }
    if ((flags & kDialogPathMustExist) != 0 && !QFileInfo(path).absoluteDir().exists()) {
        return {};
    }
    return path;
}

// The 1-based position of the chosen filter among `filters`; 0 when the caller gave none (the
// dialog then offers a filter of its own).
std::int32_t ChosenFilterIndex(const QFileDialog& dialog, const QStringList& filters) {
    // The dialog names the chosen filter in full, or by its description alone when it shows
    // descriptions only.
    const QString chosen = dialog.selectedNameFilter();
    for (qsizetype i = 0; i < filters.size(); ++i) {
        const QString& filter = filters.at(i);
        if (filter == chosen || filter.left(filter.lastIndexOf(QLatin1String(" ("))) == chosen) {
            return static_cast<std::int32_t>(i + 1);
        }
    }
    return 0;
}

}  // namespace

QStringList NameFiltersFromFilterList(const std::string& filter) {
    QStringList items = QString::fromStdString(filter).split(QLatin1Char('|'));
    if (!items.isEmpty() && items.last().isEmpty()) {
        items.removeLast();  // the optional final "|"
    }
    QStringList nameFilters;
    // A description left without its pattern list at the end names no files and is dropped.
    for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : items.at(i + 1).split(QLatin1Char(';'))) {
            const QString trimmed = pattern.trimmed();
            if (trimmed == QLatin1String("*.*")) {
                patterns.append(QStringLiteral("*"));
            } else if (!trimmed.isEmpty()) {
                patterns.append(trimmed);
            }
        }
        if (patterns.isEmpty()) {
            continue;
        }
        nameFilters.append(
            QStringLiteral("%1 (%2)").arg(items.at(i).trimmed(), patterns.join(QLatin1Char(' '))));
    }
    return nameFilters;
}

std::string clsCommonDialog::ShowOpen(QWidget* owner, const std::string& Title,
                                      const std::string& InitDir, const std::string& Filter,
                                      std::uint32_t flags) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((flags & kDialogFileMustExist) != 0 ? QFileDialog::ExistingFile
                                                           : QFileDialog::AnyFile);
    PrepareDialog(dialog, Title, Filter, m_lastFilterIndex,
                  InitDir.empty() ? m_lastFileName : InitDir);

    const QString path = RunDialog(dialog, flags);
    if (path.isEmpty()) {
        return {};
    }
    m_lastFileName = path.toStdString();
    m_lastFilterIndex = ChosenFilterIndex(dialog, NameFiltersFromFilterList(Filter));
    return m_lastFileName;
}

std::string clsCommonDialog::ShowSave(QWidget* owner, const std::string& Title,
                                      const std::string& FileName, const std::string& InitDir,
                                      const std::string& Filter, std::uint32_t flags,
                                      const std::string& DefaultExtension) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode((flags & kDialogFileMustExist) != 0 ? QFileDialog::ExistingFile
                                                           : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, (flags & kDialogOverwritePrompt) == 0);
    dialog.setDefaultSuffix(QString::fromStdString(DefaultExtension));
    PrepareDialog(dialog, Title, Filter, m_lastFilterIndex, InitDir);
    if (!FileName.empty()) {
        dialog.selectFile(QString::fromStdString(FileName));
    }

    const QString path = RunDialog(dialog, flags);
    if (path.isEmpty()) {
        return {};
    }
    m_lastFilterIndex = ChosenFilterIndex(dialog, NameFiltersFromFilterList(Filter));
    return path.toStdString();
}

}  // namespace brindlewick
