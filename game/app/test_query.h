#pragma once
// Questions a test may ask the running game, and the input it may send, over a local socket.
// Off unless ORCHARDIA_TEST_QUERY names the socket's path (a test sets it); then a thread
// accepts one connection at a time and answers each line with one line:
//   shown                    -> "ok <name> ..."  the shown windows, bottom to top
//   focus                    -> "ok <name>"      the widget that has the focus
//   rect <window> <control>  -> "ok x y w h"     in window pixels, top-left origin; "none"
//                                                when the window is not shown or has no such
//                                                control
//   label <window> <control> -> "ok <text>"      the text a label shows, line breaks as spaces;
//                                                "none" as for rect
//   move x y | click x y | rclick x y           mouse input at that point
//   down x y | up x y                           the left button pressed or let go there
//                                                (a drag: down, move, up)
//   key <name> | text <chars>                   a key (SDL key name) down and up, typed text
//   shot                     -> "ok"             a screenshot (the game's own numbered file)
//   clock steps | clock real -> "ok"             every frame one fixed step, unpaced (the game
//                                                as fast as it draws), or the real clock again
//   object <type>            -> "ok x y w h"     the first field object of that type tag
//                                                (added by the program's entry)
//   fading                   -> "ok <name> ..."  the shown windows still fading in or out
//                                                (added by the program's entry)
//   words <window>           -> "ok <text>|..."  the texts of the shown window's visible
//                                                labels, in control order, each line break
//                                                as a space; "none" when not shown
//   rows <window> <list>     -> "ok <selected>|<x> <y> <w> <h> <text>|..."  a text list's
//                                                selected row (the row count when none) and
//                                                each visible row in window pixels
//   stop <point>             -> "ok"             the program ends at once, as a kill ends it,
//                                                when its work next reaches that point
//                                                (TestStopPoint)
// Input goes through the platform's event queue, as a player's input does; everything that
// reads the game's state runs on the main thread while it polls its events.
#include <string>

// Questions of the folders above the application (the field's objects, the island), each by
// its first word; the answer gets the rest of the line.
using TestQuestion = std::string (*)(const std::string& args);
void AddTestQuestion(const std::string& verb, TestQuestion answer);

// A point in the game's work at which a test may have the program killed ("stop <point>"),
// to see that the next start finds everything whole. Nothing happens unless a test armed it.
void TestStopPoint(const char* point);

// Starts the listener when the variable is set; call after the window exists.
void InstallTestQuery();
// One answer, on the main thread (for tests of the answers themselves).
std::string AnswerTestQuery(const std::string& line);
