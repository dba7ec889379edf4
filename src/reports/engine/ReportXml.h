#pragma once

#include "ReportTemplate.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// The template file: readable XML, versioned, with the unknown kept.
//
//   <report version="1" title="...">
//     <page width="210" height="297" left="10" top="10" right="10" bottom="10"/>
//     <band type="MasterData" name="MasterData1" height="97" dataset="S">
//       <text name="Memo1" left="4" top="17" width="45.1" height="5" font="宋体" size="13"
//             frame="left top right bottom" valign="center">用户名称[S."Company"]</text>
//       <line left="2" top="2" width="90" height="0"/>
//       <rect .../>  <picture ...>base64</picture>
//     </band>
//   </report>
namespace ReportXml {

// The format version this program writes.
constexpr int FormatVersion = 1;

// Reads a template; false with a message (line and column) when the XML is damaged.
bool read(QIODevice &device, ReportTemplate *report, QString *error);
bool read(const QByteArray &xml, ReportTemplate *report, QString *error);
QByteArray write(const ReportTemplate &report);
// Writes through a temporary file, so a failed save leaves the old file as it was.
bool writeFile(const QString &path, const ReportTemplate &report, QString *error);

} // namespace ReportXml
