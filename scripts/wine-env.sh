# Sourced by the scripts: the environment every Wine run of this project uses.
# Never the user's ~/.wine: each build tree has its own throwaway prefix.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Always the project's own virtual display, whatever DISPLAY names: Wine's windows stay off a
# desktop, and a remote display (host:N.S, as ssh -X sets it) plays no part.
export VANTREL_DISPLAY_NUM=${VANTREL_DISPLAY_NUM:-93}
case $VANTREL_DISPLAY_NUM in
  '' | *[!0-9]*)
    echo "VANTREL_DISPLAY_NUM must be a display number such as 93, not '$VANTREL_DISPLAY_NUM'" >&2
    exit 2 ;;
esac
export DISPLAY=:$VANTREL_DISPLAY_NUM
# Code page 936 for the control panel's strings. Only Wine's own runs get it (LC_ALL is set
# where Wine starts): other tools and the scripts' messages stay in the caller's language.
VANTREL_WINE_LOCALE=zh_CN.UTF-8
