* stmt.asm: the statement table and the control-flow statements.
*
* Frames on the hardware stack (below the statement loop's level):
*   FOR    28 bytes: T_FOR, variable address (2), type, step (8), limit (8),
*          text after the FOR statement (2), its line (2); then for a single
*          loop of whole numbers (forint) a flag, the count (2), and (in
*          the step's and limit's unused bytes) the integer step at 8, limit
*          at 10 and the variable's bytes as last stored at 16
FORLEN  EQU 28
*   GOSUB  5 bytes: T_GOSUB, text to return to (2), its line (2)
*   WHILE  5 bytes: T_WHILE, the WHILE statement (2), its line (2)
* A zero byte marks the bottom (clrstk).
*
* Entry points:
*   scantok  Y in the program text: the next token outside strings, REM and
*            DATA -> A, Y past it; lines are crossed (CURLIN follows); A = 0
*            at the end of the program or of a direct line. SCNDAT = 1
*            stops at DATA tokens without skipping their text.
*   skipst   Y to the end of the statement (':', ELSE or the zero).
*   skipdat  Y to the end of a DATA statement (':' or the zero).
*   istrue   Z = 1 when the value is zero.
* Statements: IF FOR NEXT GOSUB RETURN ON WHILE WEND REM DATA POKE EXEC DEF
* RANDOMIZE ERROR RESUME CLEAR TRON TROFF MON CLS, and FN calls.

SCNDAT  EQU $70D4
PRFLG   EQU $70D5           ; PRINT: the last item was ; , TAB or SPC

stmtab  FDB xend,xfor,xnext,xdata,xinput,dim,xread,let,goto,run
        FDB xif,xrestor,xgosub,xreturn,xrem,xstop,xon,xprint,xclear,list
        FDB new,xcont,xpoke,xexec,xdef,xwhile,xwend,erase,swap,xrandom
        FDB xerror,xresume,xline,defint,defsng,defdbl,defstr,xrem,auto,renum
        FDB delete,xmon,xtron,xtroff,xrem,xcls
        FDB xsave,xload,xmerge,xbsave,xbload
        FDB xlocate,xcolor,xpset,xpreset,xcircle,xbeep,xpaint,xget,xput
        FDB xpalet,xkey
        FDB xfiles,xkill,xname,xdskini

scantok LDA ,Y+
        BEQ .eol
        CMPA #'"'
        BEQ .str
        TSTA
        BPL scantok
        CMPA #T_REM
        BEQ .rem
        CMPA #T_APOS
        BEQ .rem
        CMPA #T_DATA
        BNE .r
        TST <SCNDAT
        BNE .r
        BSR skipdat
        BRA scantok
.r      RTS
.rem    JSR skipln
        BRA scantok
.str    LDA ,Y+
        BEQ .seol
        CMPA #'"'
        BNE .str
        BRA scantok
.seol   LEAY -1,Y
        BRA scantok
.eol    LDX <CURLIN
        LEAX 1,X
        BEQ .end
        LDD ,Y
        BEQ .end
        LDD 2,Y
        STD <CURLIN
        LEAY 4,Y
        BRA scantok
.end    LEAY -1,Y
        CLRA
        RTS

skipdat LDA ,Y
        BEQ .r
        CMPA #':'
        BEQ .r
        LEAY 1,Y
        CMPA #'"'
        BNE skipdat
.q      LDA ,Y
        BEQ .r
        LEAY 1,Y
        CMPA #'"'
        BNE .q
        BRA skipdat
.r      RTS

skipst  LDA ,Y
        BEQ .r
        CMPA #':'
        BEQ .r
        CMPA #T_ELSE
        BEQ .r
        LEAY 1,Y
        CMPA #'"'
        BNE skipst
.q      LDA ,Y
        BEQ .r
        LEAY 1,Y
        CMPA #'"'
        BNE .q
        BRA skipst
.r      RTS

istrue  LDA <VALTYP
        CMPA #3
        LBEQ tmerr
        CMPA #2
        BNE .f
        LDD <IVAL
        RTS
.f      LDA <FAC
        RTS

xrem    JMP skipln
xdata   JMP skipdat

* IF cond THEN line|statements [ELSE line|statements]; IF cond GOTO line
xif     JSR eval
        JSR istrue
        PSHS CC
        JSR peek
        CMPA #','
        BNE .t
        JSR nextc
.t      CMPA #T_GOTO
        BEQ .g
        CMPA #T_THEN
        LBNE snerr
.g      LEAY 1,Y
        PULS CC
        BEQ .false
.do     JSR peek
        JSR isdigit
        BCS .line
        LEAS 2,S
        JMP newstt
.line   JSR getlin
        JMP golin
.false  CLR <TMP1           ; nested IFs
.s      LDA ,Y+
        BEQ .eol
        CMPA #'"'
        BEQ .q
        CMPA #T_REM
        BEQ .eol1
        CMPA #T_APOS
        BEQ .eol1
        CMPA #T_IF
        BNE .e
        INC <TMP1
        BRA .s
.e      CMPA #T_ELSE
        BNE .s
        TST <TMP1
        BEQ .do
        DEC <TMP1
        BRA .s
.q      LDA ,Y+
        BEQ .eol
        CMPA #'"'
        BNE .q
        BRA .s
.eol1   JMP skipln
.eol    LEAY -1,Y
        RTS

* FOR var = a TO b [STEP c]
xfor    LEAS 2,S
        LDA #1
        STA <SUBFLG
        JSR varname
        JSR findv
        LDA <VARTYP
        CMPA #3
        LBEQ tmerr
        PSHS A,X
        LDB #'='
        JSR need
        JSR eval
        LDX 1,S
        LDA ,S
        STA <VARTYP
        JSR assign
        LDB #T_TO
        JSR need
        JSR getnum
        JSR pushv           ; the limit
        JSR peek
        CMPA #T_STEP
        BNE .one
        LEAY 1,Y
        JSR getnum
        BRA .st
.one    LDD #1
        JSR setint
.st     PULS A,X
        STX <TMP1
        STA <TMP2
        LEAX ,S             ; an older loop of this variable ends here
.w      LDA ,X
        BEQ .new
        CMPA #T_FOR
        BNE .o
        LDD 1,X
        CMPD <TMP1
        BEQ .cut
        LEAX FORLEN,X
        BRA .w
.o      LEAX 5,X
        BRA .w
.cut    LEAS FORLEN,X
.new    CMPS #STKLIM
        LBLO omerr
        LEAS -FORLEN,S
        LDA #T_FOR
        STA ,S
        LDX <TMP1
        STX 1,S
        LDA <TMP2
        STA 3,S
        STA <VARTYP
        LEAX 4,S
        JSR assign          ; the step, in the variable's type
        JSR popv
        LDA 3,S
        STA <VARTYP
        LEAX 12,S
        JSR assign          ; the limit
        STY 20,S
        LDD <CURLIN
        STD 22,S
        CLR 24,S
        LDA 3,S
        CMPA #4
        BNE .ft
        LEAX ,S
        JSR forint
.ft     LEAX ,S
        JSR fortst
        LBCC stend
        LEAS FORLEN,S           ; not even once: on after the matching NEXT
        LDA #1
        STA <TMP3
.sc     JSR scantok
        TSTA
        BNE .sc1
        LDB #26
        JMP error
.sc1    CMPA #T_FOR
        BNE .nx
        INC <TMP3
        BRA .sc
.nx     CMPA #T_NEXT
        BNE .sc
.nv     JSR peek
        JSR isend
        BNE .nvar
        DEC <TMP3
        BNE .sc
        JMP stend
.nvar   JSR varname
        DEC <TMP3
        BEQ .found
        JSR peek
        CMPA #','
        BNE .sc
        LEAY 1,Y
        BRA .nv
.found  JSR peek
        CMPA #','
        LBNE stend
        LEAY 1,Y
        JMP xnext.var

* forint: X = the frame of a single loop. When start, step and limit are
* whole numbers in -32768..32767, NEXT counts in an integer and stores its
* value (flag at 24, count at 25).
forint  PSHS X,Y
        LDA #4
        STA <FPREC
        LDX 1,X
        BSR wholes
        BCS .r
        LDX ,S
        STD 25,X
        LEAX 4,X
        BSR wholes
        BCS .r
        LDX ,S
        STD 8,X
        LEAX 12,X
        BSR wholes
        BCS .r
        LDX ,S
        STD 10,X
        LDY 1,X
        LDD ,Y
        STD 16,X
        LDD 2,Y
        STD 18,X
        LDA #1
        STA 24,X
.r      PULS X,Y,PC

* wholes: X = a packed single: C = 0 and D = its value when it is a whole
* number in -32768..32767.
wholes  PSHS X
        JSR fp_lds
        JSR fp_toint
        BCS .no
        PSHS D
        JSR fp_fromint
        LDX #NUMBUF
        JSR fp_sts
        LDX 2,S
        LDD NUMBUF
        CMPD ,X
        BNE .no2
        LDD NUMBUF+2
        CMPD 2,X
        BNE .no2
        PULS D
        ANDCC #$FE
        PULS X,PC
.no2    PULS D
.no     ORCC #$01
        PULS X,PC

* fortst: X = a FOR frame: C = 1 when the variable is past the limit.
fortst  LDA 3,X
        CMPA #2
        BNE .f
        LDD [1,X]
        TST 4,X
        BMI .neg
        CMPD 12,X
        BGT .past
        BRA .in
.neg    CMPD 12,X
        BLT .past
.in     ANDCC #$FE
        RTS
.past   ORCC #$01
        RTS
.f      STA <FPREC
        PSHS X
        LDX 1,X
        CMPA #8
        BEQ .d
        JSR fp_lds
        LDX ,S
        LEAX 12,X
        JSR fp_args
        BRA .c
.d      JSR fp_ldd
        LDX ,S
        LEAX 12,X
        JSR fp_argd
.c      JSR fp_cmp
        PULS X
        LDA 5,X             ; the step's sign bit
        BMI .fneg
        CMPB #$FF
        BEQ .past
        BRA .in
.fneg   CMPB #1
        BEQ .past
        BRA .in

* NEXT [var [, var ...]]
xnext   LEAS 2,S
        JSR peek
        JSR isend
        BNE .var
        LDX #0
        BRA .find
.var    LDA #1
        STA <SUBFLG
        JSR varname
        JSR findv
.find   STX <TMP1
        LEAX ,S
.w      LDA ,X
        CMPA #T_FOR
        LBNE nferr
        LDD <TMP1
        BEQ .got
        CMPD 1,X
        BEQ .got
        LEAX FORLEN,X
        BRA .w
.got    LEAS ,X
        LDA 3,S
        CMPA #2
        BNE .fl
        LDX 1,S
        LDD ,X
        ADDD 4,S
        LBVS overr
        STD ,X
        LBRA .test
.fl     STA <FPREC
        CMPA #4
        BNE .fl2
        TST 24,S            ; counting in an integer
        BEQ .fl2
        LDX 1,S             ; (unless the program changed the variable)
        LDD ,X
        CMPD 16,S
        BNE .off
        LDD 2,X
        CMPD 18,S
        BNE .off
        LDD 25,S
        ADDD 8,S
        BVS .off
        STD 25,S
        JSR fp_fromint
        LDX 1,S
        JSR fp_sts
        LBCS error
        LDX 1,S
        LDD ,X
        STD 16,S
        LDD 2,X
        STD 18,S
        LDD 25,S
        TST 8,S
        BMI .ineg
        CMPD 10,S
        BGT .done
        BRA .loop
.ineg   CMPD 10,S
        BLT .done
        BRA .loop
.off    CLR 24,S
        LDA #4
.fl2    LDX 1,S
        CMPA #8
        BEQ .d
        JSR fp_lds
        LEAX 4,S
        JSR fp_args
        JSR fp_add
        LBCS error
        LDX 1,S
        JSR fp_sts
        LBCS error
        LEAX 12,S
        JSR fp_args         ; the new value against the limit
        BRA .cmp
.d      JSR fp_ldd
        LEAX 4,S
        JSR fp_argd
        JSR fp_add
        LBCS error
        LDX 1,S
        JSR fp_std
        LBCS error
        LEAX 12,S
        JSR fp_argd
.cmp    JSR fp_cmp
        LDA 5,S             ; the step's sign bit
        BMI .fneg
        CMPB #$FF
        BEQ .done
        BRA .loop
.fneg   CMPB #1
        BEQ .done
        BRA .loop
.test   LEAX ,S
        JSR fortst
        BCS .done
.loop   LDY 20,S
        LDD 22,S
        STD <CURLIN
        JMP stend
.done   LEAS FORLEN,S
        JSR peek
        CMPA #','
        LBNE stend
        LEAY 1,Y
        LBRA .var

* GOSUB line
xgosub  LEAS 2,S
        JSR getlin
        LBCS snerr
gosubd  STD <LINNUM
        CMPS #STKLIM
        LBLO omerr
        LDD <CURLIN
        PSHS D
        PSHS Y
        LDA #T_GOSUB
        PSHS A
        LDD <LINNUM
        JSR golin
        JMP stend

* RETURN
xreturn LEAS 2,S
.w      LDA ,S
        CMPA #T_GOSUB
        BEQ .got
        CMPA #T_FOR
        BEQ .for
        CMPA #T_WHILE
        LBNE rgerr
        LEAS 5,S
        BRA .w
.for    LEAS FORLEN,S
        BRA .w
.got    PULS A
        PULS Y
        PULS D
        STD <CURLIN
        JMP stend

* ON n GOTO/GOSUB line, line, ...; ON ERROR GOTO line
xon     JSR peek
        CMPA #T_ERROR
        LBEQ onerr
        JSR getbyte
        PSHS B
        JSR peek
        CMPA #T_GOTO
        BEQ .k
        CMPA #T_GOSUB
        LBNE snerr
.k      PSHS A
        LEAY 1,Y
.l      DEC 1,S
        BEQ .take
        JSR getlin
        LBCS snerr
        JSR peek
        CMPA #','
        BNE .none
        LEAY 1,Y
        BRA .l
.none   LEAS 2,S
        RTS
.take   JSR getlin
        LBCS snerr
        STD <LINNUM
        JSR skipst
        PULS A
        LEAS 1,S
        LDX <LINNUM
        CMPA #T_GOSUB
        BEQ .sub
        TFR X,D
        JMP golin
.sub    LEAS 2,S
        TFR X,D
        LBRA gosubd

* WHILE cond ... WEND
xwhile  LEAS 2,S
        JSR eval
        JSR istrue
        BEQ .skip
        CMPS #STKLIM
        LBLO omerr
        LDD <CURLIN
        PSHS D
        LDX <STMTPT
        PSHS X
        LDA #T_WHILE
        PSHS A
        JMP stend
.skip   LDA #1
        STA <TMP3
.sc     JSR scantok
        TSTA
        LBEQ wferr
        CMPA #T_WHILE
        BNE .w
        INC <TMP3
        BRA .sc
.w      CMPA #T_WEND
        BNE .sc
        DEC <TMP3
        BNE .sc
        JMP stend

xwend   LEAS 2,S
        LDA ,S
        CMPA #T_WHILE
        LBNE wderr
        PULS A
        PULS Y
        PULS D
        STD <CURLIN
        JMP newstt

* POKE addr, byte
xpoke   JSR getadr
        PSHS D
        JSR needcm
        JSR getbyte
        PULS X
        STB ,X
        RTS

* EXEC addr: machine code, back on RTS.
xexec   JSR getadr
        TFR D,X
callmc  JSR flushc
        PSHS Y,U
        JSR ,X
        PULS Y,U
        PSHS A
        LDA #$70
        TFR A,DP
        PULS A,PC

* DEF FNname[(params)] = expression; DEF USR = addr
xdef    JSR peek
        CMPA #T_USR
        BNE .fn
        JSR nextc
        JSR isdigit
        BCC .u
        LEAY 1,Y
.u      LDB #'='
        JSR need
        JSR getadr
        STD <USRADR
        RTS
.fn     CMPA #T_FN
        LBNE snerr
        LDX <CURLIN
        LEAX 1,X
        LBEQ iderr
        LEAY 1,Y
        JSR fnname
        LDA #1
        STA <SUBFLG
        JSR findv
        STY ,X              ; the function: where its parameters are
        JSR peek
        CMPA #'('
        BNE .e
        LEAY 1,Y
.p      JSR varname         ; the parameters exist from now on
        JSR findv
        JSR peek
        CMPA #','
        BNE .pe
        LEAY 1,Y
        BRA .p
.pe     JSR needrp
.e      JMP skipst

* fnname: FN's name at Y -> VNAME (bit 7 set), VARTYP (+$40), TMP5 = type.
fnname  JSR varname
        LDA <VNAME
        ORA #$80
        STA <VNAME
        LDA <VARTYP
        STA <TMP5
        ORA #$40
        STA <VARTYP
        RTS

* fncall: FNname[(arguments)] in an expression.
fncall  LEAY 1,Y
        BSR fnname
        LDA <TMP5
        PSHS A              ; the result's type
        CLR <SUBFLG
        JSR findv
        CMPX #zero8
        LBEQ uferr
        LDX ,X
        PSHS X              ; the definition
        CLRA
        PSHS A              ; arguments
        LDA ,X
        CMPA #'('
        BNE .noarg
        JSR needlp
.arg    JSR eval
        JSR pushv
        INC ,S
        JSR peek
        CMPA #','
        BNE .ae
        LEAY 1,Y
        BRA .arg
.ae     JSR needrp
.noarg  PULS B
        PULS X
        PSHS Y              ; S: call text, result type
        TFR X,Y
        STB <TMP4           ; arguments given
        CLR <TMP4+1         ; parameters found
        JSR peek
        CMPA #'('
        BNE .bind
        LEAY 1,Y
.p      JSR varname
        LDA #1
        STA <SUBFLG
        JSR findv
        LDA <VARTYP
        PSHS A,X
        INC <TMP4+1
        JSR peek
        CMPA #','
        BNE .pe
        LEAY 1,Y
        BRA .p
.pe     JSR needrp
.bind   LDA <TMP4+1
        CMPA <TMP4
        LBNE snerr
.b      TST <TMP4
        BEQ .body
        PULS A,X            ; the last parameter gets the last argument
        STA <VARTYP
        PSHS Y              ; its value is saved first
        LDY <FNSP
        CMPY #FNSEND-VARLEN
        LBHI omerr
        STX ,Y
        STA 2,Y
        LDD ,X
        STD 3,Y
        LDD 2,X
        STD 5,Y
        LDD 4,X
        STD 7,Y
        LDD 6,X
        STD 9,Y
        LEAY VARLEN,Y
        STY <FNSP
        PULS Y
        PSHS X
        JSR popv
        PULS X
        JSR assign
        DEC <TMP4
        BRA .b
.body   LDB <TMP4+1
        PSHS B              ; S: parameters saved, call text, result type
        LDB #'='
        JSR need
        JSR eval
        LDA 3,S
        CMPA #3
        BNE .num
        JSR chkstr0
        LDX <SDESC          ; a parameter's string becomes a temporary
        LDD <TEMPPT
        SUBD #3
        CMPD <SDESC
        BEQ .rest
        LDB ,X
        LDX 1,X
        JSR putnew
        BRA .rest
.num    JSR chknum
        LDA 3,S
        CMPA #2
        BNE .n2
        JSR toint
        JSR setint
        BRA .rest
.n2     PSHS A
        JSR tofloat
        PULS A
        STA <VALTYP
        STA <FPREC
        CMPA #4
        BNE .rest
        LDX #NUMBUF         ; rounded to a single
        JSR fp_sts
        LBCS error
        LDX #NUMBUF
        JSR fp_lds
.rest   LDX <FNSP           ; the parameters get their values back
        PULS B
.r      TSTB
        BEQ .done
        LEAX -VARLEN,X
        PSHS B,Y
        LDY ,X
        LDD 3,X
        STD ,Y
        LDD 5,X
        STD 2,Y
        LDD 7,X
        STD 4,Y
        LDD 9,X
        STD 6,Y
        PULS B,Y
        DECB
        BRA .r
.done   STX <FNSP
        PULS Y
        LEAS 1,S
        RTS

* RANDOMIZE [n]: without n the timer count seeds the sequence.
xrandom JSR peek
        JSR isend
        BNE .n
        LDD M_TICKS+2
        JMP fp_seed
.n      JSR getint
        JMP fp_seed

* ERROR n
xerror  JSR getbyte
        TSTB
        LBEQ fcerr
        JMP error

* ON ERROR GOTO line (0: off; inside the handler, the error stops the program)
onerr   LEAY 1,Y
        LDB #T_GOTO
        JSR need
        JSR getlin
        LBCS snerr
        STD <ONERR
        BNE .r
        TST <INERR
        BEQ .r
        LDB <ERRNUM
        LDX <ERRLIN
        STX <CURLIN
        JMP error
.r      RTS

* RESUME [NEXT | line]
xresume TST <INERR
        LBEQ reerr
        CLR <INERR
        JSR peek
        CMPA #T_NEXT
        BEQ .next
        JSR isdigit
        BCS .line
        LDS <ERRSTP
        LDY <ERRTXT
        LDD <ERRLIN
        STD <CURLIN
        JMP newstt
.next   LDS <ERRSTP
        LDY <ERRTXT
        LDD <ERRLIN
        STD <CURLIN
        LDA ,Y
        CMPA #T_IF          ; (an IF is left whole)
        BNE .sk
        JSR skipln
        JMP newstt
.sk     LEAY 1,Y
        JSR skipst
        JMP newstt
.line   JSR getlin
        LDS <ERRSTP
        JSR golin
        JMP stend

* CLEAR [n [, top]]
xclear  JSR peek
        JSR isend
        BEQ .go
        CMPA #','
        BEQ .top
        JSR getint          ; string space: all free memory is string space
        JSR peek
        CMPA #','
        BNE .go
.top    LEAY 1,Y
        JSR getadr
        CMPD #MEMTOP
        LBHI fcerr
        PSHS D
        SUBD <VARTAB
        LBCS omerr
        CMPD #256
        LBLO omerr
        PULS D
        STD <MEMSIZ
.go     JMP clrvar

xtron   LDA #1
        STA <TRCFLG
        RTS
xtroff  CLR <TRCFLG
        RTS

* MON: to the monitor; its BASIC command comes back with the program kept.
xmon    JSR flushc
        CLR <POSN
        CLRA
        TFR A,DP
        JSR sysinit
        JMP prompt

xcls    LDA #CH_CLS
        JSR outch
        CLR <POSN
        JMP flushc

