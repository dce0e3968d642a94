# Sourced by the scripts: the environment every Wine run of this project uses.
# Never the user's ~/.wine: each build tree has its own throwaway prefix.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Code page 936 for the control panel's strings.
export LC_ALL=zh_CN.UTF-8
export VANTREL_DISPLAY_NUM=${VANTREL_DISPLAY_NUM:-93}
