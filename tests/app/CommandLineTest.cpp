#include <gtest/gtest.h>

#include <stdexcept>

#include "AppTestSupport.h"
#include "CFinGaiApp.h"

namespace {

TEST(CommandLine, EmptyLineIsAStandaloneRun) {
  CFinGaiApp app;
  EXPECT_FALSE(app.ParseCommandLine(""));
  EXPECT_FALSE(app.ParseCommandLine(nullptr));
  EXPECT_EQ(app.m_hHostWnd, nullptr);
  EXPECT_EQ(app.m_nFunctionNo, 2);
  EXPECT_TRUE(app.m_strLinkParam.empty());
}

TEST(CommandLine, ThreeCommasMakeALaunchEvenWithAnEmptyPath) {
  CFinGaiApp app;
  EXPECT_TRUE(app.ParseCommandLine("1234,32768,5,"));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(app.m_hHostWnd), 1234u);
  EXPECT_EQ(app.m_nHostMsg, 32768u);
  EXPECT_EQ(app.m_nFunctionNo, 5);
  EXPECT_TRUE(app.m_strLinkParam.empty());
}

TEST(CommandLine, PathIsTheWholeRestCommasAndBlanksIncluded) {
  CFinGaiApp app;
  EXPECT_TRUE(app.ParseCommandLine("7,1025,3,/home/u/出力 先/a,b.xml"));
  EXPECT_EQ(app.m_strLinkParam, "/home/u/出力 先/a,b.xml");
}

TEST(CommandLine, FieldsBeforeAMissingCommaAreKeptButItIsNoLaunch) {
  CFinGaiApp app;
  EXPECT_FALSE(app.ParseCommandLine("1234,32768,5"));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(app.m_hHostWnd), 1234u);
  EXPECT_EQ(app.m_nHostMsg, 32768u);
  EXPECT_EQ(app.m_nFunctionNo, 2);

  CFinGaiApp other;
  EXPECT_FALSE(other.ParseCommandLine("99"));
  EXPECT_EQ(other.m_hHostWnd, nullptr);
}

TEST(CommandLine, FunctionNumberIsTruncatedToSixteenBits) {
  CFinGaiApp app;
  EXPECT_TRUE(app.ParseCommandLine("1,2,70000,"));
  EXPECT_EQ(app.m_nFunctionNo, static_cast<short>(70000));
  EXPECT_TRUE(app.ParseCommandLine("1,2,-3,"));
  EXPECT_EQ(app.m_nFunctionNo, -3);
}

TEST(CommandLine, OverlongLineIsRefusedWithNothingStored) {
  const CString strHead = "1234,32768,5,/";
  CString strFits = strHead + CString(CFinGaiApp::CMDLINE_MAX - strHead.size(), 'a');
  ASSERT_EQ(strFits.size(), 259u);
  CFinGaiApp fits;
  EXPECT_TRUE(fits.ParseCommandLine(strFits.c_str()));
  EXPECT_EQ(fits.m_strLinkParam.size(), 259u - 13u);

  // One byte more must not become a shorter path or another window.
  CFinGaiApp app;
  EXPECT_FALSE(app.ParseCommandLine((strFits + "b").c_str()));
  EXPECT_EQ(app.m_hHostWnd, nullptr);
  EXPECT_EQ(app.m_nHostMsg, 0u);
  EXPECT_EQ(app.m_nFunctionNo, 2);
  EXPECT_TRUE(app.m_strLinkParam.empty());
}

TEST(CommandLine, WhatEscapesTheRunIsShownAndReportedAsAnError) {
  apptest::MessageRecorder messages;
  CFinGaiApp app;
  app.m_nResult = CFinGaiApp::RESULT_CANCELLED;
  app.RunGuarded([] { throw std::runtime_error("profile: Is a directory"); });
  EXPECT_EQ(app.m_nResult, CFinGaiApp::RESULT_ERROR);
  ASSERT_EQ(messages.Shown().size(), 1u);
  EXPECT_EQ(messages.Shown()[0].text,
            "予期しないエラーが発生したため、処理を中止します。\n\nprofile: Is a directory");
  EXPECT_EQ(messages.Shown()[0].type, MB_OK | MB_ICONWARNING);
}

}  // namespace
