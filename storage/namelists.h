#pragma once

#include <QString>
#include <QStringList>

// The towns and provinces typed before, kept in the tables `city` and
// `province` of the settings database as proposals for the pupil dialog.
bool bFunStudentDataLoadCityList(QString &msg, QStringList &names);
bool bFunStudentDataLoadProvinceList(QString &msg, QStringList &names);
// Remembers a name once; a name already there changes nothing.
bool bFunStudentDataAddCity(QString &msg, const QString &name);
bool bFunStudentDataAddProvince(QString &msg, const QString &name);
