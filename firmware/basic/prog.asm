* prog.asm: the program store and the commands that work on it.
*
* Entry points:
*   fndlin   D = line number -> X = that line, or the first line after it
*            (the end marker at worst); Z = 1 when found. A, B kept.
*   edit     LINNUM = number, X = its tokens: the line is replaced, added,
*            or (no text) deleted; the variables are cleared.
*   relink   recomputes the links of all lines and VARTAB.
*   scrnew   no program, no variables.   clrvar: no variables (CLEAR).
*   movup    copy D bytes from X to U, highest byte first (U > X).
*   movdn    copy D bytes from X to U, lowest byte first (U < X).
*   golin    D = line: Y and CURLIN so that the statement loop goes on there.
* Statements: NEW RUN GOTO LIST DELETE AUTO RENUM.

fndlin  LDX <TXTTAB
fndfrom PSHS D
.l      LDD ,X
        BEQ .nf
        LDD 2,X
        CMPD ,S
        BHS .at
        LDX ,X
        BRA .l
.at     PULS D
        CMPD 2,X
        RTS
.nf     PULS D
        ANDCC #$FB
        RTS

* strlen: D = the length of the text at X, its zero counted.
strlen  PSHS X
        LDD #1
.l      TST ,X+
        BEQ .r
        ADDD #1
        BRA .l
.r      PULS X,PC

edit    PSHS X
        JSR strlen
        STD <TMP4
        LDD <LINNUM
        JSR fndlin
        BNE .ins
        PSHS X              ; delete the old line
        LDU ,S
        LDX ,X              ; the next line
        LDD <VARTAB
        PSHS X
        SUBD ,S++
        JSR movdn
        JSR relink
        PULS X
.ins    LDU ,S
        LDA ,U
        BEQ .fin            ; only the number: deleted
        LDD <TMP4
        ADDD #4
        STD <TMP5           ; room the line takes
        ADDD <VARTAB
        BCS .om
        ADDD #256
        BCS .om
        CMPD <MEMSIZ
        BHI .om
        PSHS X
        LDD <TMP5
        LEAU D,X
        LDD <VARTAB
        SUBD ,S
        PULS X
        JSR movup           ; the lines after it move up
        LDD #$FFFF
        STD ,X++            ; a link, set by relink
        LDD <LINNUM
        STD ,X++
        PULS U
.cp     LDA ,U+
        STA ,X+
        BNE .cp
        PSHS U
.fin    LEAS 2,S
        JSR relink
        JMP clrvar
.om     JMP omerr

* clrgoc: no cached GOTO target (line addresses change).
clrgoc  PSHS X,U
        LDX #GOCACHE
        LDU #$FFFF
.cc     STU ,X++
        LEAX 2,X
        CMPX #GOCACHE+32
        BLO .cc
        PULS X,U,PC

relink  BSR clrgoc
        PSHS X,U
        LDX <TXTTAB
.l      LDD ,X
        BEQ .end
        LEAU 4,X
.s      LDA ,U+
        BNE .s
        STU ,X
        TFR U,X
        BRA .l
.end    LEAX 2,X
        STX <VARTAB
        PULS X,U,PC

movup   PSHS D,X,Y
        LEAX D,X
        LEAU D,U
        TFR D,Y
        LEAY ,Y
        BEQ .r
.l      LDA ,-X
        STA ,-U
        LEAY -1,Y
        BNE .l
.r      PULS D,X,Y,PC

movdn   PSHS D,X,Y
        TFR D,Y
        LEAY ,Y
        BEQ .r
.l      LDA ,X+
        STA ,U+
        LEAY -1,Y
        BNE .l
.r      PULS D,X,Y,PC

scrnew  LDX <TXTTAB
        CLR -1,X
        CLR ,X
        CLR 1,X
        JSR relink
        CLR <TRCFLG
* clrvar: CLEAR. The caller's return address is kept over the stack reset.
clrvar  JSR fclall          ; the files close with the variables
        LDX <VARTAB
        STX <ARYTAB
        STX <STREND
        LDX <MEMSIZ
        STX <FRETOP
        LDX #0
        STX <DATPTR
        STX <ONERR
        CLR <INERR
        LDX #DEFTBL
        LDA #4
.d      STA ,X+
        CMPX #DEFTBL+26
        BLO .d
        LDX #TMPDSC
        STX <TEMPPT
        JMP clrstk

* NEW
new     JSR scrnew
        JMP readyr

* RUN [line] or RUN "name" (files.asm)
run     JSR getlin
        BCS .name
        STD <LINNUM
        JSR clrvar
        LDD <LINNUM
        JSR fndlin
        LBNE ulerr
        LEAY -1,X
        BRA .go
.name   JSR peek
        JSR isend
        LBNE xrunf
        JSR clrvar
        LDY <TXTTAB
        LEAY -1,Y
.go     LDD #0
        STD <CURLIN
        LDD #0
        STD <OLDTXT
        JMP newstt

* GOTO line
goto    JSR getlin
        LBCS snerr
* golin: D = the line to go to; Y, CURLIN so that the loop goes on there.
* The lines GOTO and GOSUB went to last are kept in GOCACHE, 8 entries of
* line number and address chosen by the number's low 3 bits; any change to
* the program empties it (relink).
golin   PSHS D
        ANDB #7
        LSLB
        LSLB
        LDX #GOCACHE
        ABX
        PULS D
        CMPD ,X
        BNE .look
        LDX 2,X
        BRA .set
.look   PSHS X
        LDX <CURLIN
        CMPX #$FFFF
        BEQ .start
        CMPD <CURLIN
        BLS .start
        PSHS D
        JSR skipln          ; forwards: search from the next line
        PULS D
        LEAX 1,Y
        JSR fndfrom
        BRA .got
.start  JSR fndlin
.got    LBNE ulerr
        PSHS D,X            ; the cache entry gets number and address
        LDX 4,S
        LDD ,S
        STD ,X
        LDD 2,S
        STD 2,X
        PULS D,X
        LEAS 2,S
.set    LEAY -1,X
        STD <CURLIN
        RTS

* range: LIST and DELETE ranges: [a][-[b]] -> TMP1 = a, TMP2 = b.
range   LDD #0
        STD <TMP1
        LDD #65535
        STD <TMP2
        JSR getlin
        BCS .dash
        STD <TMP1
        STD <TMP2
.dash   JSR peek
        CMPA #'-'
        BNE .r
        LDD #65535
        STD <TMP2
        JSR nextc
        JSR getlin
        BCS .r
        STD <TMP2
.r      RTS

* LIST [range]
list    JSR range
        LDD <TMP1
        JSR fndlin
.l      LDD ,X
        BEQ .r
        LDD 2,X
        CMPD <TMP2
        BHI .r
        TST <BRKFLG
        BNE .brk
        JSR listln
        LDX ,X
        BRA .l
.brk    CLR <BRKFLG
.r      RTS

* DELETE range
delete  JSR range
        LDD <TMP1
        JSR fndlin
        LBNE fcerr          ; the first line must exist
        TFR X,U
.l      LDD ,X
        BEQ .go
        LDD 2,X
        CMPD <TMP2
        BHI .go
        LDX ,X
        BRA .l
.go     LDD <VARTAB
        PSHS X
        SUBD ,S++
        JSR movdn
        JSR relink
        JSR clrvar
        JMP readyr

* AUTO [start][,step]
auto    LDD #10
        STD <AUTOLN
        STD <AUTOST
        JSR getlin
        BCS .c
        STD <AUTOLN
.c      JSR peek
        CMPA #','
        BNE .r
        JSR nextc
        JSR getlin
        LBCS snerr
        STD <AUTOST
        LBEQ fcerr
.r      LDD <AUTOLN
        LBEQ fcerr
        JMP readyr

* RENUM [new] [, [old] [, step]]: the lines from old on get new, new+step,
* ...; every GOTO, GOSUB, THEN, ELSE, RESTORE, RESUME, RUN and ERL reference
* (ON ... lists too) follows. A reference to a line that does not exist is
* left as it is and reported.
RNNEW   EQU TMP1
RNOLD   EQU TMP2
RNSTP   EQU TMP3
RNTOK   EQU $70E3           ; the token before the number
renum   LDD #10
        STD <RNNEW
        STD <RNSTP
        LDD #0
        STD <RNOLD
        JSR getlin
        BCS .c1
        STD <RNNEW
.c1     JSR peek
        CMPA #','
        BNE .chk
        JSR nextc
        JSR getlin
        BCS .c2
        STD <RNOLD
.c2     JSR peek
        CMPA #','
        BNE .chk
        JSR nextc
        JSR getlin
        LBCS snerr
        STD <RNSTP
        LBEQ fcerr
.chk    LDX <TXTTAB         ; the line before old must stay below new
.b      LDD ,X
        BEQ .cnt
        LDD 2,X
        CMPD <RNOLD
        BHS .cnt
        CMPD <RNNEW
        LBHS fcerr
        LDX ,X
        BRA .b
.cnt    LDD <RNNEW          ; and the last new number must fit
.c      PSHS D
        LDD ,X
        PULS D
        BEQ .refs
        LDX ,X
        PSHS D
        LDD ,X
        PULS D
        BEQ .refs
        ADDD <RNSTP
        LBCS fcerr
        CMPD #65529
        LBHI fcerr
        BRA .c
.refs   LDY <TXTTAB
.line   LDD ,Y
        LBEQ .hdr
        LDD 2,Y
        STD <LINNUM         ; the line being fixed
        LEAY 4,Y
.tok    LDA ,Y+
        BEQ .line
        CMPA #'"'
        BEQ .str
        CMPA #T_REM
        BEQ .rem
        CMPA #T_APOS
        BEQ .rem
        CMPA #T_DATA
        BEQ .data
        CMPA #T_ERL
        BEQ .erl
        CMPA #T_GOTO
        BEQ .ref
        CMPA #T_GOSUB
        BEQ .ref
        CMPA #T_THEN
        BEQ .ref
        CMPA #T_ELSE
        BEQ .ref
        CMPA #T_RESTOR
        BEQ .ref
        CMPA #T_RESUME
        BEQ .ref
        CMPA #T_RUN
        BEQ .ref
        BRA .tok
.str    LDA ,Y+
        BEQ .line
        CMPA #'"'
        BNE .str
        BRA .tok
.rem    JSR skipln
        LEAY 1,Y
        BRA .line
.data   JSR skipdat
        BRA .tok
.erl    JSR peek
        CMPA #'<'
        BEQ .e1
        CMPA #'='
        BEQ .e1
        CMPA #'>'
        BEQ .e1
        STA <RNTOK
        JSR isdigit
        LBCC .tok
        JSR rnfix
        LBRA .tok
.e1     LEAY 1,Y
        BRA .erl
.ref    STA <RNTOK
.num    JSR peek
        JSR isdigit
        BCC .tok
        JSR rnfix
        LDA <RNTOK
        CMPA #T_GOTO
        BEQ .list
        CMPA #T_GOSUB
        LBNE .tok
.list   JSR peek
        CMPA #','
        LBNE .tok
        LEAY 1,Y
        BRA .num
.hdr    LDD <RNOLD          ; at last the line numbers themselves
        JSR fndlin
        LDD <RNNEW
.h      PSHS D
        LDD ,X
        PULS D
        BEQ .done
        STD 2,X
        ADDD <RNSTP
        LDX ,X
        BRA .h
.done   JSR clrvar
        JMP readyr

* rnfix: the line number at Y becomes its new number; Y moves past it.
rnfix   PSHS Y
        JSR getlin
        PULS X
        LBCS snerr
        TFR X,U             ; U = where the digits start, Y = past them
        CMPD <RNOLD
        BLO .keep
        TSTA                ; (0 is left: ON ERROR GOTO 0)
        BNE .f
        TSTB
        BEQ .keep
.f      PSHS D
        LDX <TXTTAB         ; its place among the lines from old
        LDD <RNNEW
        STD <TMP5
.w      LDD ,X
        BEQ .undef
        LDD 2,X
        CMPD ,S
        BEQ .got
        CMPD <RNOLD
        BLO .n
        LDD <TMP5
        ADDD <RNSTP
        STD <TMP5
.n      LDX ,X
        BRA .w
.undef  LDX #undmsg
        JSR outstr
        PULS D
        JSR prtuint
        LDX #inmsg
        JSR outstr
        LDD <LINNUM
        JSR prtuint
        JSR bcrlf
.keep   RTS
.got    LEAS 2,S
        LDD <TMP5
        JSR fmtuint         ; the new digits at X
        PSHS X
        JSR strlen
        SUBD #1             ; their number
        PSHS D
        TFR Y,D             ; the old digits' number
        PSHS U
        SUBD ,S++
        PSHS D
        LDD 2,S
        SUBD ,S++           ; growth
        BEQ .cp
        PSHS D
        ADDD <VARTAB
        ADDD #256
        CMPD <MEMSIZ
        LBHI omerr
        TFR Y,X             ; the rest of the program moves
        LDD ,S
        PSHS U
        LEAU D,Y
        LDD <VARTAB
        PSHS Y
        SUBD ,S++
        TST 2,S
        BMI .dn
        JSR movup
        BRA .mv
.dn     JSR movdn
.mv     PULS U
        PULS D
        ADDD <VARTAB
        STD <VARTAB
.cp     PULS D              ; new length
        PULS X              ; new digits
        TFR U,Y
.c      LDA ,X+
        STA ,Y+
        DECB
        BNE .c
        PSHS Y
        JSR relink
        PULS Y,PC

undmsg  FCB "Undefined line ",0
