* diskcmd.asm: the BASIC statements on the disk's files: the disk side of
* SAVE, LOAD, MERGE, RUN, BSAVE and BLOAD (called from files.asm when the
* device is a drive), FILES, KILL, NAME, DSKINI, the function DSKF, and the
* cold start's AUTORUN. They work through disk.asm's file system (its
* header names the entry points, FCBs and work bytes).
*
* Entry points: dhead dmem dend dffind drdblk ddata (files.asm's disk
* side), xfiles xkill xname xdskini (statements), fndskf, dauto (the end of
* the cold start).

* ---------------------------------------------------------------- programs
* The disk side of files.asm's SAVE, LOAD, MERGE, RUN, BSAVE and BLOAD,
* through FCB0. A memory file starts with start, length and entry; a
* tokenized program with the keyword table's signature (TEXEC).

* dhead: FCB0 opened for writing DNAME as kind TKIND, its header written.
dhead   LDX #FCB0
        CLR ,X
        LDA #'O'
        LDB TKIND
        JSR dopen
        LDU #TSTART
        LDB #6
        LDA TKIND
        BEQ dbytes
        LDU #TEXEC
        LDB #2
        DECA
        BEQ dbytes
        RTS
* dbytes: B bytes from U to FCB0.
dbytes  LDA ,U+
        JSR dputc
        DECB
        BNE dbytes
        RTS

* dmem: D bytes from X to FCB0, then dend.
dmem    PSHS Y
        TFR X,U
        TFR D,Y
        LDX #FCB0
.l      LDA ,U+
        JSR dputc
        LEAY -1,Y
        BNE .l
        PULS Y
* dend: FCB0 closed.
dend    LDX #FCB0
        JMP dclose

* dffind: FCB0 opened for reading DNAME; TKIND and the header; then the
* kind checked as on the tape. A name is needed.
dffind  TST FWANT
        LBEQ fnmerr
        LDX #FCB0
        CLR ,X
        LDA #'I'
        JSR dopen
        LDA FKIND,X
        STA TKIND
        LDU #TSTART
        LDB #6
        TSTA
        BEQ .hd
        LDU #TEXEC
        LDB #2
        DECA
        BNE .k
        LDD FSIZE+1,X       ; a program: its length after the signature
        SUBD #2
        TST FSIZE,X
        BEQ .len
        LDD #$FFFF
.len    STD TLEN
        LDB #2
.hd     JSR dgetc
        BCS dshort
        STA ,U+
        DECB
        BNE .hd
.k      JMP ffind.kind
dshort  LDB #57
        JMP error

* drdblk: up to 255 bytes of FCB0 into TBUF: A = 1, B = how many; A = FF
* at the end.
drdblk  LDX #FCB0
        LDU #TBUF
        CLRB
.l      JSR dgetc
        BCS .end
        STA ,U+
        INCB
        CMPB #255
        BLO .l
.ok     LDA #1
        RTS
.end    TSTB
        BNE .ok
        LDA #$FF
        RTS

* ddata: FCB0's bytes to FPTR..FEND; C = 1 when they do not fill it
* exactly.
ddata   LDX #FCB0
        LDU FPTR
.l      JSR dgetc
        BCS .end
        CMPU FEND
        BHS .bad
        JSR fvput
        BEQ .l
        BRA .bad
.end    CMPU FEND
        BNE .bad
        ANDCC #$FE
        RTS
.bad    ORCC #$01
        RTS

* ---------------------------------------------------------------- housekeeping
* dpname: a file name on a disk (string expression at Y), else Bad file name.
dpname  JSR getstr
        JSR dname
        LBEQ fnmerr
        TST DDEV
        LBMI fnmerr
        RTS

* FILES ["d:"]: every file: name, kind, size; then the bytes free.
xfiles  CLR DDEV
        JSR peek
        JSR isend
        BEQ .go
        JSR getstr          ; a device ("1:"); a name after it is ignored
        JSR dname
        TST DDEV
        LBMI fnmerr
.go     LDA DDEV
        STA DDRV
        JSR dfat
        CLR DSLOT
.l      LDA DSLOT
        CMPA #NSLOT
        BHS .free
        BITA #15
        BNE .e
        JSR dslot
.e      TST ,U
        BEQ .n
        TFR U,X
        LDB #8
        JSR outn
        ABX
        LDA #'.'            ; no extension: no dot
        LDB ,X
        CMPB #' '
        BNE .dot
        LDA #' '
.dot    JSR outch
        LDB #3
        JSR outn
        ABX
        JSR outsp
        LDB ,X
        ANDB #3
        LDX #kindch
        LDA B,X
        JSR outch
        JSR outsp
        LEAX 13,U
        BSR prt24
        JSR bcrlf
.n      LEAU 16,U
        INC DSLOT
        BRA .l
.free   BSR dfreec
        LSLB                ; clusters x 2048
        ROLA
        LSLB
        ROLA
        LSLB
        ROLA
        LDX #DOTHER
        STD ,X
        CLR 2,X
        BSR prt24
        LDX #freemsg
        JMP outstr

* dfreec: D = the free clusters in FATBUF.
dfreec  LDX #FATBUF+1
        LDD #0
.l      TST ,X+
        BNE .n
        ADDD #1
.n      CMPX #FATBUF+NCLUS
        BLO .l
        RTS

* prt24: the 24-bit number at X (high byte first) in decimal.
prt24   LDD ,X
        STD DOTHER+4
        LDA 2,X
        STA DOTHER+6
        LDA #$FF
        PSHS A
.d      CLRA                ; DOTHER+4 /= 10, the remainder in A
        LDB #24
.b      LSL DOTHER+6
        ROL DOTHER+5
        ROL DOTHER+4
        ROLA
        CMPA #10
        BLO .n
        SUBA #10
        INC DOTHER+6
.n      DECB
        BNE .b
        ADDA #'0'
        PSHS A
        LDD DOTHER+4
        BNE .d
        TST DOTHER+6
        BNE .d
.o      PULS A
        TSTA
        BMI .r
        JSR outch
        BRA .o
.r      RTS

* DSKF(d): the free clusters (2048 bytes each) of drive d.
fndskf  JSR needlp
        JSR getbyte
        JSR needrp
        CMPB #3
        LBHI fcerr
        TFR B,A
        JSR dfat
        BSR dfreec
        JMP setint

* KILL "name"
xkill   JSR dpname
        JSR dnotop
        BSR dfindx
        LDA 12,U
        PSHS A
        CLR ,U              ; the entry first, then its clusters
        BSR dwdir
        PULS A
        JSR dfree
        JMP dfatwr

* dfindx: DNAME of drive DDEV found (U, SECBUF), else File not found.
dfindx  LDA DDEV
        JSR dfat
        JSR dfind
        CMPU #0
        BNE .r
        LDB #53
        JMP error
.r      RTS

* NAME "old" AS "new"
xname   JSR dpname
        BSR dswap           ; the old name to DOTHER
        LDB #T_AS
        JSR need
        JSR dpname
        LDA DDEV
        CMPA DOTHER
        LBNE fnmerr
        JSR dnotop
        LDA DDEV
        JSR dfat
        JSR dfind
        CMPU #0
        BEQ .new
        LDB #58             ; File already exists
        JMP error
.new    BSR dswap
        JSR dnotop
        BSR dfindx
        LDX #DOTHER+1
        LDB #11
.c      LDA ,X+
        STA ,U+
        DECB
        BNE .c
* dwdir: SECBUF back to its directory sector of the disk whose table is kept.
dwdir   LDU #FATID
        JSR dchk
        LDX #SECBUF
        JMP dwrite

* dswap: DDEV, DNAME <-> DOTHER.
dswap   PSHS U
        LDX #DDEV
        LDU #DOTHER
        LDB #12
.l      LDA ,X
        PSHS A
        LDA ,U
        STA ,X+
        PULS A
        STA ,U+
        DECB
        BNE .l
        PULS U,PC

* DSKINI [d]: drive d (0) made an empty disk of this system: the boot
* sector, the directory, and the allocation table (with the disk's
* identity, dchk) last.
xdskini CLRB
        JSR peek
        JSR isend
        BEQ .d
        JSR getbyte
        CMPB #3
        LBHI fcerr
.d      STB DDRV
        STB DDEV
        LDA #2
        JSR dscan           ; no file may be open there
        BEQ .ok
        LDB #55
        JMP error
.ok     CMPB FATDRV         ; nothing kept of the old disk
        BNE .clr
        LDA #$FF
        STA FATDRV
        CLR FATDRT
.clr    BSR dclrs
        LDU #bootcd
        LDB #BOOTLEN
.bc     LDA ,U+
        STA ,X+
        DECB
        BNE .bc
        CLRB
        BSR .w
        BSR dclrs
.dir    INCB
        BSR .w
        CMPB #7
        BLO .dir
        LDA #$FE
        STA ,X
        LDD M_TICKS+2       ; its identity: the time it was made
        STD 248,X
        LDD M_TICKS
        STD 250,X
        LDD #$5146
        STD 252,X
        LDD #$5331
        STD 254,X
        LDB #1
.w      CLRA
        STD DLSN
        JMP dwrite

* dclrs: SECBUF cleared; X = SECBUF, B = 0.
dclrs   LDX #SECBUF
        CLRB
.l      CLR ,X+
        DECB
        BNE .l
        LDX #SECBUF
        RTS

bootcd  LDA $FD0F           ; the BASIC image in place
        LDD #$4155          ; "AU": the cold start looks for AUTORUN
        STD AUTOFL
        JMP [$FBFE]         ; its cold start
BOOTLEN EQU *-bootcd
* dauto: the end of the cold start. When the boot sector of a disk of this
* system started it (AUTOFL) and the disk has a file AUTORUN: RUN "AUTORUN".
dauto   LDD AUTOFL
        CLR AUTOFL
        CMPD #$4155
        BNE .no
        LDX #autonm+1
        LDB #7
        JSR dname
        TST DDEV
        BMI .no
        LDA DDEV
        JSR dfat
        JSR dfind
        CMPU #0
        BEQ .no
        LDX #autorn         ; as if typed
        LDU #DIRBUF
.c      LDA ,X+
        STA ,U+
        BNE .c
        LDS #STKTOP
        JSR clrstk
        LDU #USTK
        LDD #$FFFF
        STD <CURLIN
        LDY #DIRBUF
        JMP newstt
.no     JMP readyr
autorn  FCB T_RUN
autonm  FCB '"',"AUTORUN",'"',0

kindch  FCC "MPAR"
freemsg FCB " bytes free",CH_CR,0
