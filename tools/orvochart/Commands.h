// The verbs of the orvochart tool; argv[0] is the verb itself.
#ifndef ORVOCHART_TOOLS_COMMANDS_H
#define ORVOCHART_TOOLS_COMMANDS_H

int runInspectCommand(int argc, char** argv);
int runColorCommand(int argc, char** argv);
int runChartCommand(int argc, char** argv);
int runListCommand(int argc, char** argv);

#endif  // ORVOCHART_TOOLS_COMMANDS_H
