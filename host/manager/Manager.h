// The reference work-center Manager "ProwenWorkCenter.Manager" over the demo ERP database.
//
// Members (names without case, as the automation layer matches them):
//   Connect([path])             opens the database: the path given, else the configured one
//                               (TDemoDatabase::ConfiguredPath); any other call opens it on
//                               first need
//   VersionType                 property: the Manager's version kind (an integer)
//   CallHelp([module, topic])   the help window of the topic
//   GetMessage(type, id)        the message template of the message table
//   BIG5toGB(value), GBtoBig5(value), Big5ToGB(text)
//                               Traditional <-> Simplified (the first and the last name the
//                               same member, as names match without case)
//   Com_VarManager, Com_Validator, Com_F2Window, Com_Counter, Com_Phrase
//                               properties: the service objects, sharing the Manager's database
// The services:
//   VarManager.GetSysInfo(var company)                        [0,i] name, [1,i] value
//   Validator.CheckValue(var table, var key, var dataSource, var params, var result)
//   Validator.QueryData(same)                                 True and result := row / rows
//   F2Window.F2GetData([table, key, params, multi, initialText, company, dataSource,
//                       window, -, -, flag2, flag1])          the look-up window's choice
//   Counter.GetCounter(name, var value, [company, dataSource]) next number, or the answer of
//                                                            a condition-set operation
//   Phrase.GetPhrase(var user, var dataSource, window)         the phrase window's choice
#pragma once

#include <nuv/Automation.h>

namespace nuv::host {

inline constexpr int ManagerVersionKind = 2;

// A new Manager with one reference for the caller.
DispatchPtr CreateManager();

} // namespace nuv::host
